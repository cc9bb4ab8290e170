// The game's one music track: an upbeat arcade tune in C major of a little over a minute,
// intro, theme, chorus, breakdown, theme again and an ending that comes home to C (the game
// restarts the track when it ends).
#pragma once
#include "synth.h"

// Renders the whole track; the peak is normalised below full scale.
StereoBuffer renderSong();
