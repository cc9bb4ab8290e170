// The level table is computed by a rule; the campaign as designed is this printed table.
#include "match/levels.h"
#include <gtest/gtest.h>

namespace {

struct Printed {
    int level, figures, delay, arena;
    bool big;
};

constexpr Printed campaign[40] = {
    {1, 2, 23, 1, false},   {2, 2, 22, 9, false},   {3, 3, 27, 6, false},   {4, 3, 26, 11, false},
    {5, 2, 25, 4, true},    {6, 2, 20, 8, false},   {7, 3, 25, 3, false},   {8, 3, 24, 10, false},
    {9, 4, 27, 5, false},   {10, 2, 22, 7, true},   {11, 2, 17, 2, false},  {12, 3, 22, 13, false},
    {13, 3, 21, 15, false}, {14, 4, 24, 12, false}, {15, 2, 19, 1, true},   {16, 2, 14, 14, false},
    {17, 3, 19, 7, false},  {18, 3, 18, 12, false}, {19, 4, 21, 4, false},  {20, 2, 16, 5, true},
    {21, 2, 11, 13, false}, {22, 3, 16, 12, false}, {23, 3, 15, 15, false}, {24, 4, 18, 1, false},
    {25, 2, 13, 2, true},   {26, 2, 8, 14, false},  {27, 3, 13, 7, false},  {28, 3, 12, 12, false},
    {29, 4, 15, 4, false},  {30, 2, 10, 5, true},   {31, 2, 5, 13, false},  {32, 3, 10, 12, false},
    {33, 3, 9, 15, false},  {34, 4, 12, 1, false},  {35, 2, 7, 2, true},    {36, 2, 2, 14, false},
    {37, 3, 7, 7, false},   {38, 3, 6, 12, false},  {39, 4, 9, 4, false},   {40, 2, 4, 5, true},
};

TEST(LevelTable, EveryRowMatchesTheCampaign) {
    for (const Printed& p : campaign) {
        Tlevelrow row = levelrow(p.level);
        EXPECT_EQ(row.mancount, p.figures) << "level " << p.level;
        EXPECT_EQ(row.aidelay, p.delay) << "level " << p.level;
        EXPECT_EQ(row.arena, p.arena) << "level " << p.level;
        EXPECT_EQ(row.big, p.big) << "level " << p.level;
    }
}

TEST(ArenaTable, ShapesAndObstacles) {
    // Round arenas are radius-2000 circles.
    for (int n : {2, 7, 8, 9, 10, 13, 14}) {
        EXPECT_EQ(arenaplan(n).w, 0) << n;
        EXPECT_EQ(arenaplan(n).h, 4000) << n;
    }
    for (int n : {1, 3, 4, 5, 6, 11, 12, 15}) {
        EXPECT_EQ(arenaplan(n).w, 4000) << n;
        EXPECT_EQ(arenaplan(n).h, 3000) << n;
    }
    const int counts[16] = {0, 0, 4, 3, 2, 4, 4, 5, 4, 5, 8, 7, 5, 6, 8, 6};
    for (int n = 1; n <= 15; ++n) EXPECT_EQ(arenaplan(n).obstacles.size(), size_t(counts[n])) << n;
    for (int n : {0, 16, -3}) {
        Tarenaplan plan = arenaplan(n);
        EXPECT_EQ(plan.w, 5000);
        EXPECT_EQ(plan.h, 2500);
        EXPECT_TRUE(plan.obstacles.empty());
    }
    // Arena 13 holds the centre obstacle twice.
    const auto& o13 = arenaplan(13).obstacles;
    EXPECT_EQ(o13[4].x, o13[5].x);
    EXPECT_EQ(o13[4].y, o13[5].y);
    EXPECT_EQ(o13[4].radius, 300);
    EXPECT_EQ(o13[5].radius, 300);
    // Order matters to the solvers: arena 6 lists the wall balls before the side balls.
    const auto& o6 = arenaplan(6).obstacles;
    EXPECT_EQ(o6[0].y, -1700);
    EXPECT_EQ(o6[2].x, 2000);
    EXPECT_EQ(o6[3].x, -2000);
}

} // namespace
