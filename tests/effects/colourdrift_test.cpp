#include "effects/colourdrift.h"
#include "runtime/random.h"
#include <gtest/gtest.h>

// After n draws of RandomReal the generator must be where a fresh one is after the same draws.
static double nextafterdraws(int seed, int draws) {
    SeedRandom(seed);
    for (int i = 0; i < draws; ++i) RandomReal(0, 1000);
    return RandomUnit(GameRandom());
}

TEST(ColourDrift, TurnsAtTheEndsOfTheRange) {
    SeedRandom(11);
    float v[3] = {253, 3, 100};
    float s[3] = {2, -2, 6};
    drift(GameRandom(), v, s);
    // At the top a channel always turns down and at the bottom up, whatever the random draw.
    EXPECT_EQ(v[0], 251);
    EXPECT_EQ(s[0], -2);
    EXPECT_EQ(v[1], 5);
    EXPECT_EQ(s[1], 2);
    EXPECT_EQ(std::abs(v[2] - 100), 6);
    // One draw per channel, no more.
    const double next = RandomUnit(GameRandom());
    EXPECT_EQ(next, nextafterdraws(11, 3));
}

TEST(ColourDrift, WandersInsideTheRangeAndReversesAtRandom) {
    SeedRandom(3);
    float grid[3] = {0, 0, 0}, gridspeed[3] = {2, 2, 2};
    float burst[3] = {0, 128, 255}, burstspeed[3] = {6, 6, 6};
    int midturns = 0;
    for (int frame = 0; frame < 20000; ++frame) {
        float before[3] = {gridspeed[0], gridspeed[1], gridspeed[2]};
        drift(GameRandom(), grid, gridspeed);
        drift(GameRandom(), burst, burstspeed);
        for (int c = 0; c < 3; ++c) {
            ASSERT_GE(grid[c], 0);
            ASSERT_LE(grid[c], 255);
            ASSERT_GE(burst[c], -3);
            ASSERT_LE(burst[c], 259);
            if (before[c] != gridspeed[c] && grid[c] > 20 && grid[c] < 230) ++midturns;
        }
    }
    // About one channel-frame in a hundred turns at random; 60000 channel-frames here.
    EXPECT_GT(midturns, 350);
    EXPECT_LT(midturns, 750);
}

TEST(ColourDrift, TableStepsRowByRow) {
    float table[2][3] = {{10, 20, 30}, {40, 50, 60}}, speeds[2][3] = {};
    resetcolourspeeds(speeds, 2);
    for (auto& row : speeds)
        for (float speed : row) EXPECT_EQ(speed, 2);
    float a[3] = {10, 20, 30}, b[3] = {40, 50, 60}, sa[3] = {2, 2, 2}, sb[3] = {2, 2, 2};
    SeedRandom(5);
    for (int i = 0; i < 500; ++i) animatecolours(GameRandom(), table, speeds, 2);
    SeedRandom(5);
    for (int i = 0; i < 500; ++i) drift(GameRandom(), a, sa), drift(GameRandom(), b, sb);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(table[0][c], a[c]);
        EXPECT_EQ(table[1][c], b[c]);
    }
}
