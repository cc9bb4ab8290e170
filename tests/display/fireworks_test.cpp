#include "effects/burst.h"
#include "fixture.h"
#include "runtime/random.h"
#include <gtest/gtest.h>

namespace {
// Where a freshly seeded generator is after n draws of RandomInt(0, 100).
double afterdraws(int n) {
    SeedRandom(99);
    for (int i = 0; i < n; ++i) RandomInt(0, 100);
    return RandomUnit();
}

std::unique_ptr<Tmatch> framedmatch() {
    auto m = makematch("custom");
    m->frame = 200;
    m->updatecamera();
    return m;
}
} // namespace

TEST(Fireworks, NoRandomDrawBeforeAWinnerAndOneDrawPerFrameWhenSwitchedOff) {
    auto m = framedmatch();
    SeedRandom(99);
    m->fireworks = 1;
    for (int i = 0; i < 300; ++i) m->updatefireworks();
    const double untouched = RandomUnit();
    EXPECT_EQ(untouched, afterdraws(0));

    m->winner = 2;
    m->fireworks = 0;
    SeedRandom(99);
    for (int i = 0; i < 300; ++i) m->updatefireworks();
    const double drawn = RandomUnit();
    EXPECT_EQ(drawn, afterdraws(300));
    EXPECT_EQ(m->rockets->count(), 0);
    EXPECT_TRUE(callsof(DrawCall::Image).empty());
}

TEST(Fireworks, AtMostThreeBurstsEachDrawnInTheFrameItEnds) {
    auto m = framedmatch();
    m->winner = 1;
    m->fireworks = 1;
    SeedRandom(7);
    int most = 0, endings = 0;
    for (int frame = 0; frame < 1500; ++frame) {
        std::shared_ptr<Tburst> oldest = m->rockets->first();
        clearcalls();
        m->updatefireworks();
        most = std::max(most, m->rockets->count());
        if (oldest && oldest != m->rockets->first()) {
            // The burst that left the list was still drawn, at its last faint alpha.
            ++endings;
            ASSERT_FALSE(callsof(DrawCall::Image).empty());
            EXPECT_LT(callsof(DrawCall::Image).front().state.alpha, 0.01f);
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
