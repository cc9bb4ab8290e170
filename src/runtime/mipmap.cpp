// Box-filtered mipmap levels; see mipmap.h.
#include "runtime/mipmap.h"
#include <algorithm>

namespace {

// The channel count is a constant here, so the inner loop unrolls for RGBA and alpha alike.
template <int channels> void halve(const uint8_t* level, int width, int height, uint8_t* out) {
    const int halfWidth = std::max(1, width / 2), halfHeight = std::max(1, height / 2);
    const size_t stride = static_cast<size_t>(width) * channels;
    const size_t right = width > 1 ? channels : 0;
    const size_t down = height > 1 ? stride : 0;
    for (int y = 0; y < halfHeight; ++y) {
        const uint8_t* row = level + static_cast<size_t>(y) * 2 * stride;
        for (int x = 0; x < halfWidth; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * 2 * channels;
            for (int c = 0; c < channels; ++c) {
                *out++ = static_cast<uint8_t>(
                    (p[c] + p[c + right] + p[c + down] + p[c + down + right] + 2) / 4);
            }
        }
    }
}

} // namespace

std::vector<uint8_t> HalfSize(const std::vector<uint8_t>& level, int width, int height,
                              int channels) {
    const int halfWidth = std::max(1, width / 2), halfHeight = std::max(1, height / 2);
    std::vector<uint8_t> half(static_cast<size_t>(halfWidth) * halfHeight * channels);
    if (channels == 4) {
        halve<4>(level.data(), width, height, half.data());
    } else if (channels == 1) {
        halve<1>(level.data(), width, height, half.data());
    }
    return half;
}
