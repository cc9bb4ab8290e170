#include "runtime/levels.h"
#include "runtime/mipmap.h"
#include <cmath>
#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

// Each byte of the next level is the rounded mean of its 2 x 2 block; an odd last column or
// row is left out, a one-texel-wide picture averages along its length, and the channels of a
// texel stay apart.
TEST(HalfSize, AveragesBlocksWithRounding) {
    EXPECT_EQ(HalfSize({1, 2, 10, 20, 99, //
                        2, 2, 30, 41, 99, //
                        99, 99, 99, 99, 99},
                       5, 3, 1),
              (Bytes{2, 25})); // 7 / 4 rounds up, 101 / 4 down
    EXPECT_EQ(HalfSize({0, 255, 100, 101}, 1, 4, 1), (Bytes{128, 101}));
    EXPECT_EQ(HalfSize({77}, 1, 1, 1), (Bytes{77}));
    EXPECT_EQ(HalfSize({0, 255, 10, 255, //
                        4, 255, 10, 0},
                       2, 1, 4),
              (Bytes{2, 255, 10, 128}));
}

// A 5 x 3 picture: level 0 on top, levels 1 (2 x 1) and 2 (1 x 1) side by side below, each
// inside a border that repeats its edge texels, corners included.
TEST(LevelAtlas, PlacesEveryLevelInsideARepeatedBorder) {
    Bytes picture(5 * 3);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t(10 * (i + 1));
    const LevelAtlas atlas = BuildLevelAtlas(picture, 5, 3, 1);
    ASSERT_EQ(atlas.levels.size(), 3u);
    EXPECT_EQ(atlas.width, 7);
    EXPECT_EQ(atlas.height, 8);
    auto at = [&](int x, int y) { return int(atlas.texels[size_t(y) * atlas.width + x]); };
    const LevelAtlas::Level one = atlas.levels[1], two = atlas.levels[2];
    EXPECT_EQ(std::vector<int>({one.x, one.y, one.width, one.height, two.x, two.y}),
              std::vector<int>({1, 6, 2, 1, 5, 6}));
    EXPECT_EQ(at(1, 1), 10);
    EXPECT_EQ(at(5, 3), 150);
    EXPECT_EQ(at(0, 0), 10);  // top-left corner of the border
    EXPECT_EQ(at(6, 4), 150); // bottom-right corner
    EXPECT_EQ(at(3, 0), 30);  // top edge
    EXPECT_EQ(at(6, 2), 100); // right edge
    // Level 1 holds the 2 x 2 means (10+20+60+70)/4 and (30+40+80+90)/4, the odd column and
    // row left out; level 2 the mean of those.
    const int first = (10 + 20 + 60 + 70 + 2) / 4, second = (30 + 40 + 80 + 90 + 2) / 4;
    EXPECT_EQ(std::vector<int>({at(0, 5), at(1, 6), at(2, 6), at(3, 7)}),
              std::vector<int>({first, first, second, second}));
    EXPECT_EQ(at(5, 6), (first + second + 1) / 2);
    EXPECT_EQ(at(6, 7), at(5, 6));
    // The atlas places a level's corners on its texels' outer edges.
    const Vec2 end = AtlasPlace(atlas, 1, 1, 1);
    EXPECT_FLOAT_EQ(end.x, 3.0f / 7);
    EXPECT_FLOAT_EQ(end.y, 7.0f / 8);
}

// The level of detail is log2 of texels per pixel, whichever way the quad is turned, and
// only shrinking brings in smaller levels.
TEST(LevelAtlas, PicksTheLevelsTheQuadsScaleNeeds) {
    auto square = [](float side, float degrees) {
        const float a = degrees * 3.14159265f / 180, c = std::cos(a) * side, s = std::sin(a) * side;
        return Quad{{{10, 10}, {10 + c, 10 + s}, {10 + c - s, 10 + s + c}, {10 - s, 10 + c}}};
    };
    auto expectMix = [](LevelMix got, int level, float weight) {
        EXPECT_EQ(got.level, level);
        EXPECT_NEAR(got.weight, weight, 1e-4);
    };
    expectMix(PickLevels(square(32, 0), 64, 64, 7), 1, 0);
    expectMix(PickLevels(square(48, 0), 64, 64, 7), 0, std::log2(64.0f / 48));
    expectMix(PickLevels(square(48, 37), 64, 64, 7), 0, std::log2(64.0f / 48));
    expectMix(PickLevels(square(10, 90), 64, 64, 7), 2, std::log2(6.4f) - 2);
    expectMix(PickLevels(square(128, 0), 64, 64, 7), 0, 0); // magnified
    expectMix(PickLevels(square(1, 0), 64, 64, 7), 6, 0);   // past the 1 x 1 level
    // Squeezed one way, the longer texel step decides; mirrored spans count as long.
    expectMix(PickLevels(Quad{{{0, 0}, {64, 0}, {64, 16}, {0, 16}}}, -64, 64, 7), 2, 0);
    expectMix(PickLevels(Quad{{{0, 0}, {0, 0}, {0, 0}, {0, 0}}}, 64, 64, 7), 0, 0);
}
