// A recording drawing surface for the effects tests, with one small white picture to draw.
#pragma once
#include "drawcalls.h"
#include "runtime/graphics.h"
#include "runtime/renderer.h"
#include <vector>

// Opens a 1024 x 768 recording surface once per process and clears its log.
RecordingRenderer& recording();
// A white 8 x 8 picture, centred on its drawing point.
const TImage& blob();
