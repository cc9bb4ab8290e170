// Trilinear filtering without a mipmapped texture. Mesa's software rasteriser spends about
// 12 ns a pixel on a trilinear sample from a mipmapped texture and about 9 on two bilinear
// samples from a plain one, mixed in a shader, which give the same colour; and the fireworks,
// the trail and the text are all mipmapped pictures drawn small. So a mipmapped picture
// becomes one plain texture holding every level of its chain, each with a border of copied
// edge texels, and the renderer picks the two levels each quad needs: a quad on the screen
// maps its texture affinely, so its level of detail is the same all over it.
#pragma once
#include "runtime/quad.h"
#include <cstdint>
#include <vector>

struct LevelAtlas {
    // Where a level's texels lie in the atlas, its border of one texel around them.
    struct Level {
        int x = 0, y = 0, width = 0, height = 0;
    };
    int width = 0, height = 0;
    std::vector<uint8_t> texels; // `channels` bytes each, rows from the top
    std::vector<Level> levels;   // the picture itself first, down to 1 x 1
};

// Level 0 across the top, the smaller levels side by side below it; `channels` is 1 or 4.
LevelAtlas BuildLevelAtlas(const std::vector<uint8_t>& picture, int width, int height,
                           int channels);

// The two levels a quad samples: `level` and the next one, mixed in by `weight`.
struct LevelMix {
    int level = 0;
    float weight = 0;
};

// A quad in screen pixels whose edge from corner 0 to 1 spans `du` texels of level 0 and from
// corner 0 to 3 spans `dv`: the level of detail is log2 of the longer of the texel steps
// along one pixel in x and in y. Magnified or level 0 exactly: level 0 alone; past the last
// level: the last alone.
LevelMix PickLevels(const Quad& quad, float du, float dv, int levelCount);

// A place in the picture (0..1 across) at its place in one level of the atlas (0..1 across
// the atlas).
Vec2 AtlasPlace(const LevelAtlas& atlas, int level, float u, float v);
