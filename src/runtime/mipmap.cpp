// Box-filtered mipmap levels; see mipmap.h.
#include "runtime/mipmap.h"
#include <algorithm>

std::vector<uint8_t> HalfSize(const std::vector<uint8_t>& level, int width, int height,
                              int channels) {
    const int halfWidth = std::max(1, width / 2), halfHeight = std::max(1, height / 2);
    std::vector<uint8_t> half(static_cast<size_t>(halfWidth) * halfHeight * channels);
    const size_t stride = static_cast<size_t>(width) * channels;
    const size_t right = width > 1 ? channels : 0;
    const size_t down = height > 1 ? stride : 0;
    uint8_t* out = half.data();
    for (int y = 0; y < halfHeight; ++y) {
        const uint8_t* row = level.data() + static_cast<size_t>(y) * 2 * stride;
        for (int x = 0; x < halfWidth; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * 2 * channels;
            for (int c = 0; c < channels; ++c, ++out, ++p) {
                *out = static_cast<uint8_t>((p[0] + p[right] + p[down] + p[down + right] + 2) / 4);
            }
        }
    }
    return half;
}
