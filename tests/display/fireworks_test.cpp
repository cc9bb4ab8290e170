#include "effects/burst.h"
#include "fixture.h"
#include "physics/arena.h"
#include "runtime/random.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {
// Where a freshly seeded generator is after n draws of RandomInt(0, 100).
double afterdraws(int n) {
    SeedRandom(99);
    for (int i = 0; i < n; ++i) RandomInt(0, 100);
    return RandomUnit(GameRandom());
}

std::unique_ptr<Tmatch> framedmatch() {
    auto m = makematch("custom");
    m->frame = 200;
    m->updatecamera();
    m->backcamera = m->camera();
    return m;
}
} // namespace

TEST(Fireworks, NoRandomDrawBeforeAWinnerAndOneDrawPerFrameWhenSwitchedOff) {
    auto m = framedmatch();
    SeedRandom(m->random, 99);
    m->fireworks = 1;
    for (int i = 0; i < 300; ++i) m->updatefireworks();
    const double untouched = RandomUnit(m->random);
    EXPECT_EQ(untouched, afterdraws(0));

    m->winner = 2;
    m->fireworks = 0;
    SeedRandom(m->random, 99);
    for (int i = 0; i < 300; ++i) m->updatefireworks(), m->drawfireworks();
    const double drawn = RandomUnit(m->random);
    EXPECT_EQ(drawn, afterdraws(300));
    EXPECT_EQ(m->rockets->count(), 0);
    EXPECT_TRUE(CallsOf(DrawCall::Image).empty());
}

TEST(Fireworks, AtMostThreeBurstsEachDrawnInTheFrameItEnds) {
    auto m = framedmatch();
    m->winner = 1;
    m->fireworks = 1;
    SeedRandom(m->random, 7);
    int most = 0, endings = 0;
    for (int frame = 0; frame < 1500; ++frame) {
        clearcalls();
        m->updatefireworks();
        m->drawfireworks();
        int alive = 0;
        for (const auto& burst : *m->rockets) alive += burst->ended ? 0 : 1;
        most = std::max(most, alive);
        if (m->rockets->first() && m->rockets->first()->ended) {
            // The oldest burst ended: it is still drawn in this frame, at its last faint alpha.
            ++endings;
            ASSERT_FALSE(CallsOf(DrawCall::Image).empty());
            EXPECT_LT(CallsOf(DrawCall::Image).front().state.alpha, 0.01f);
        }
        std::shared_ptr<Tburst> newest = m->rockets->last();
        if (newest && newest->life > 0.985f) {
            // Launched this frame and moved once: 400 sparks from a point of the stadium.
            ASSERT_EQ(newest->count, 400);
            const tspark& s = newest->sparks[0];
            EXPECT_FLOAT_EQ(s.z - s.vz, -2000);
            EXPECT_GE(s.x - s.vx, -3500);
            EXPECT_LE(s.x - s.vx, 3500);
            EXPECT_GE(s.y - s.vy, -1500);
            EXPECT_LE(s.y - s.vy, 1500);
        }
    }
    EXPECT_EQ(most, 3);
    EXPECT_GT(endings, 10);
}

TEST(Fireworks, LaunchDrawsColourBlueFirstThenYThenXInsideTheVisibleStadium) {
    auto m = framedmatch();
    m->winner = 1;
    m->fireworks = 1;
    int seed = 1;
    for (;; ++seed) {
        SeedRandom(seed);
        if (RandomInt(0, 100) > 95) break;
    }
    SeedRandom(m->random, seed);
    m->updatefireworks();
    ASSERT_EQ(m->rockets->count(), 1);
    const Tburst& burst = *m->rockets->first();

    // The same draws by hand, over the part of the stadium seen at the launch depth.
    const Tarena& a = m->world.bounds;
    const double k = 1 / m->zoom + 2, radius = (a.bottom - a.top) / 2;
    const double xlow = std::max(a.leftend - radius, m->camerax - m->screenwidth / 2.0 * k);
    const double xhigh = std::min(a.rightend + radius, m->camerax + m->screenwidth / 2.0 * k);
    const double ylow = std::max(a.top, m->cameray - m->screenheight / 2.0 * k);
    const double yhigh = std::min(a.bottom, m->cameray + m->screenheight / 2.0 * k);
    SeedRandom(seed);
    RandomInt(0, 100);
    const int b = RandomInt(0, 255), g = RandomInt(0, 255), r = RandomInt(0, 255);
    const int y = RandomInt(int(ylow), int(yhigh));
    const int x = RandomInt(int(xlow), int(xhigh));

    // One update has drifted every channel by exactly its speed of 6.
    EXPECT_FLOAT_EQ(std::fabs(burst.colour[0] - r), 6);
    EXPECT_FLOAT_EQ(std::fabs(burst.colour[1] - g), 6);
    EXPECT_FLOAT_EQ(std::fabs(burst.colour[2] - b), 6);
    const tspark& s = burst.sparks[0];
    EXPECT_NEAR(s.x - s.vx, x, 0.01);
    EXPECT_NEAR(s.y - s.vy, y, 0.01);
}
