// Starting the game in-process as the tests and benchmarks need it: never in the player's game
// folder, always on a virtual clock and without sound.
#pragma once
#include "runtime/runtime.h"

// Makes a fresh temporary folder the current one, links the built media into it when asked,
// and starts the runtime there. Aborts with a message on failure: nothing can run without it.
void StartInTempGameFolder(VideoMode video, bool withMedia = true);
// The same, then opens a 1024 x 768 drawing surface.
void StartWithSurface(VideoMode video, bool withMedia = true);
