// Bands of a picture's visible columns and the strips drawn from them; see coverage.h.
#include "runtime/coverage.h"
#include <algorithm>

CoverageBands FindCoverage(const Pixels& pixels, int bandRows) {
    CoverageBands bands;
    const int w = pixels.width, h = pixels.height;
    bands.width = w, bands.height = h, bands.rows = bandRows;
    for (int top = 0; top < h; top += bandRows) {
        int first = w, last = -1;
        const int from = std::max(0, top - 1), to = std::min(h, top + bandRows + 1);
        for (int y = from; y < to; ++y) {
            const uint8_t* row = &pixels.rgba[static_cast<size_t>(y) * w * 4];
            for (int x = 0; x < w; ++x) {
                if (row[x * 4 + 3] == 0) continue;
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        if (last < 0)
            bands.spans.push_back({0, 0});
        else
            bands.spans.push_back({std::max(0, first - 1), std::min(w, last + 2)});
    }
    return bands;
}

void CoveredStrips(const Quad& quad, const CoverageBands& bands, std::vector<TexturedQuad>& out) {
    const int width = bands.width, height = bands.height;
    const Vec2 origin = quad.corner[0];
    const Vec2 across{quad.corner[1].x - origin.x, quad.corner[1].y - origin.y};
    const Vec2 down{quad.corner[3].x - origin.x, quad.corner[3].y - origin.y};
    auto at = [&](float u, float v) {
        return Vec2{origin.x + u * across.x + v * down.x, origin.y + u * across.y + v * down.y};
    };
    const int count = static_cast<int>(bands.spans.size());
    for (int band = 0; band < count;) {
        const CoverageBands::Span span = bands.spans[band];
        int next = band + 1;
        while (next < count && bands.spans[next].first == span.first &&
               bands.spans[next].end == span.end)
            ++next;
        if (span.first < span.end) {
            const float u0 = float(span.first) / float(width), u1 = float(span.end) / float(width);
            const float v0 = float(band * bands.rows) / float(height);
            const float v1 = float(std::min(height, next * bands.rows)) / float(height);
            out.push_back({{{at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)}}, u0, v0, u1, v1});
        }
        band = next;
    }
}
