// The smaller levels of a mipmapped texture, built on the CPU. Mesa would build them by
// drawing each level through its rasteriser, which first compiles shaders for the job; for
// the big pictures and the font atlas that cost far more start-up time than the averaging.
#pragma once
#include <cstdint>
#include <vector>

// The next mipmap level of width x height texels of `channels` bytes each (1 for alpha, 4 for
// RGBA; other counts give a blank level): half the size (at least 1 x 1), every byte the
// rounded average of the 2 x 2 block above it. An odd last row or column is left out; a single
// row or column averages along its length only.
std::vector<uint8_t> HalfSize(const std::vector<uint8_t>& level, int width, int height,
                              int channels);
