// Bands of a picture's visible and solid columns, and the strips drawn from them; see
// coverage.h.
#include "runtime/coverage.h"
#include <algorithm>

namespace {

bool opaqueWhite(const uint8_t* p) {
    return p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255;
}

// One band: the rows within the margin of it decide.
CoverageBands::Span findSpan(const Pixels& pixels, int top, int bottom, int margin) {
    const int w = pixels.width;
    int first = w, last = -1;
    std::vector<bool> white(static_cast<size_t>(w), true); // every row white in this column
    for (int y = std::max(0, top - margin); y < std::min(pixels.height, bottom + margin); ++y) {
        const uint8_t* row = &pixels.rgba[static_cast<size_t>(y) * w * 4];
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = row + x * 4;
            if (p[3] != 0) first = std::min(first, x), last = std::max(last, x);
            if (!opaqueWhite(p)) white[x] = false;
        }
    }
    CoverageBands::Span span;
    if (last < 0) return span;
    span.first = std::max(0, first - margin);
    span.end = std::min(w, last + 1 + margin);
    // The longest run of white columns, less the margin where it borders other texels (past
    // the picture's edge the sampler repeats the edge texel, so no margin is needed there).
    int bestFirst = 0, bestEnd = 0;
    for (int x = 0; x < w;) {
        if (!white[x]) {
            ++x;
            continue;
        }
        int end = x;
        while (end < w && white[end]) ++end;
        if (end - x > bestEnd - bestFirst) bestFirst = x, bestEnd = end;
        x = end;
    }
    if (bestFirst > 0) bestFirst += margin;
    if (bestEnd < w) bestEnd -= margin;
    if (bestFirst < bestEnd) span.solidFirst = bestFirst, span.solidEnd = bestEnd;
    return span;
}

} // namespace

CoverageBands FindCoverage(const Pixels& pixels, int bandRows, int margin) {
    CoverageBands bands;
    bands.width = pixels.width, bands.height = pixels.height, bands.rows = bandRows;
    for (int top = 0; top < pixels.height; top += bandRows)
        bands.spans.push_back(findSpan(pixels, top, top + bandRows, margin));
    return bands;
}

void CoveredStrips(const Quad& quad, const CoverageBands& bands,
                   std::vector<TexturedQuad>& textured, std::vector<Quad>& plain) {
    const float width = float(bands.width), height = float(bands.height);
    const Vec2 origin = quad.corner[0];
    const Vec2 across{quad.corner[1].x - origin.x, quad.corner[1].y - origin.y};
    const Vec2 down{quad.corner[3].x - origin.x, quad.corner[3].y - origin.y};
    auto at = [&](float u, float v) {
        return Vec2{origin.x + u * across.x + v * down.x, origin.y + u * across.y + v * down.y};
    };
    // The part of the quad between columns first and end and between v0 and v1.
    auto part = [&](int first, int end, float v0, float v1) {
        const float u0 = float(first) / width, u1 = float(end) / width;
        return TexturedQuad{{{at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)}}, u0, v0, u1, v1};
    };
    auto strip = [&](int first, int end, float v0, float v1) {
        if (first < end) textured.push_back(part(first, end, v0, v1));
    };
    const int count = static_cast<int>(bands.spans.size());
    for (int band = 0; band < count;) {
        const CoverageBands::Span span = bands.spans[band];
        int next = band + 1;
        while (next < count && bands.spans[next] == span) ++next;
        const float v0 = float(band * bands.rows) / height;
        const float v1 = float(std::min(bands.height, next * bands.rows)) / height;
        band = next;
        if (span.solidFirst >= span.solidEnd) {
            strip(span.first, span.end, v0, v1);
            continue;
        }
        strip(span.first, span.solidFirst, v0, v1);
        strip(span.solidEnd, span.end, v0, v1);
        plain.push_back(part(span.solidFirst, span.solidEnd, v0, v1).quad);
    }
}
