// The level atlas of a mipmapped picture and the choice of levels; see levels.h.
#include "runtime/levels.h"
#include "runtime/mipmap.h"
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Copies a level into the atlas at its place and repeats its edge texels into the border,
// which gives the same samples at the level's edges as a texture clamped to its edge.
void place(LevelAtlas& atlas, const LevelAtlas::Level& at, const std::vector<uint8_t>& texels,
           int channels) {
    const size_t rowBytes = static_cast<size_t>(at.width) * channels;
    auto texel = [&](int x, int y) {
        return &atlas.texels[(static_cast<size_t>(y) * atlas.width + x) * channels];
    };
    for (int y = -1; y <= at.height; ++y) {
        const int from = std::clamp(y, 0, at.height - 1);
        uint8_t* row = texel(at.x, at.y + y);
        std::memcpy(row, &texels[from * rowBytes], rowBytes);
        std::memcpy(row - channels, row, channels);
        std::memcpy(row + rowBytes, row + rowBytes - channels, channels);
    }
}

} // namespace

LevelAtlas BuildLevelAtlas(const std::vector<uint8_t>& picture, int width, int height,
                           int channels) {
    LevelAtlas atlas;
    std::vector<LevelAtlas::Level>& levels = atlas.levels;
    levels.push_back({1, 1, width, height});
    for (int w = width, h = height, x = 1; w > 1 || h > 1; x += w + 2) {
        w = std::max(1, w / 2), h = std::max(1, h / 2);
        levels.push_back({x, height + 3, w, h});
    }
    for (const LevelAtlas::Level& level : levels) {
        atlas.width = std::max(atlas.width, level.x + level.width + 1);
        atlas.height = std::max(atlas.height, level.y + level.height + 1);
    }
    atlas.texels.resize(static_cast<size_t>(atlas.width) * atlas.height * channels);
    place(atlas, levels[0], picture, channels);
    std::vector<uint8_t> texels; // the level last placed, from level 1 on
    for (size_t k = 1; k < levels.size(); ++k) {
        const LevelAtlas::Level& above = levels[k - 1];
        texels = HalfSize(k == 1 ? picture : texels, above.width, above.height, channels);
        place(atlas, levels[k], texels, channels);
    }
    return atlas;
}

LevelMix PickLevels(const Quad& quad, float du, float dv, int levelCount) {
    const Vec2* c = quad.corner;
    const float ux = c[1].x - c[0].x, uy = c[1].y - c[0].y;
    const float vx = c[3].x - c[0].x, vy = c[3].y - c[0].y;
    const float area = ux * vy - uy * vx;
    if (area == 0) return {};
    // Texels per pixel: the screen-to-texture map is the inverse of the edges' matrix. The
    // steps are compared squared, so the square root becomes a half of the logarithm.
    const float alongX = du * vy * du * vy + dv * uy * dv * uy;
    const float alongY = du * vx * du * vx + dv * ux * dv * ux;
    const float lod = 0.5f * std::log2(std::max(alongX, alongY) / (area * area));
    if (!(lod > 0)) return {};
    const int last = levelCount - 1;
    if (lod >= float(last)) return {last, 0};
    const float level = std::floor(lod);
    return {int(level), lod - level};
}

Vec2 AtlasPlace(const LevelAtlas& atlas, int level, float u, float v) {
    const LevelAtlas::Level& l = atlas.levels[static_cast<size_t>(level)];
    return {(float(l.x) + u * float(l.width)) / float(atlas.width),
            (float(l.y) + v * float(l.height)) / float(atlas.height)};
}
