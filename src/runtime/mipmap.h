// The smaller levels of a mipmapped texture, built on the CPU. Mesa would build them by
// drawing each level through its rasteriser, which first compiles shaders for the job; for
// the big pictures and the font atlas that cost far more start-up time than the averaging.
#pragma once
#include "runtime/renderer.h"

// The next mipmap level: half the size (at least 1 x 1), every texel the rounded average of
// the 2 x 2 block above it. An odd last row or column is left out; a single row or column
// averages along its length only.
Pixels HalfSize(const Pixels& level);
