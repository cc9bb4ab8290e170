// Box-filtered mipmap levels; see mipmap.h.
#include "runtime/mipmap.h"
#include <algorithm>

Pixels HalfSize(const Pixels& level) {
    Pixels half;
    half.width = std::max(1, level.width / 2);
    half.height = std::max(1, level.height / 2);
    half.rgba.resize(static_cast<size_t>(half.width) * half.height * 4);
    const size_t stride = static_cast<size_t>(level.width) * 4;
    const size_t right = level.width > 1 ? 4 : 0;
    const size_t down = level.height > 1 ? stride : 0;
    uint8_t* out = half.rgba.data();
    for (int y = 0; y < half.height; ++y) {
        const uint8_t* row = level.rgba.data() + static_cast<size_t>(y) * 2 * stride;
        for (int x = 0; x < half.width; ++x) {
            const uint8_t* p = row + static_cast<size_t>(x) * 8;
            for (int c = 0; c < 4; ++c, ++out, ++p) {
                *out = static_cast<uint8_t>((p[0] + p[right] + p[down] + p[down + right] + 2) / 4);
            }
        }
    }
    return half;
}
