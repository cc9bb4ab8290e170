#include "effects/burst.h"
#include "recording.h"
#include "runtime/random.h"
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {
float speedof(const tspark& s) {
    return std::sqrt(s.vx * s.vx + s.vy * s.vy + s.vz * s.vz);
}
} // namespace

TEST(Burst, ExplodesIntoSparksOfEqualSpeed) {
    SeedRandom(21);
    auto burst = std::make_unique<Tburst>();
    burst->explode(GameRandom(), 100, -50, -2000, 0, 0, 20, 10, 20, 30, 400, blob());
    ASSERT_EQ(burst->count, 400);
    EXPECT_EQ(burst->life, 1.0f);
    EXPECT_EQ(burst->colour[2], 30);
    double meanvz = 0;
    for (int i = 0; i < burst->count; ++i) {
        const tspark& s = burst->sparks[i];
        EXPECT_EQ(s.x, 100);
        EXPECT_EQ(s.z, -2000);
        EXPECT_NEAR(speedof(s), 20, 1e-3);
        EXPECT_EQ(s.image, blob());
        meanvz += s.vz / burst->count;
    }
    EXPECT_NEAR(meanvz, 0, 2);
    // Two angles per spark and nothing else.
    double next = RandomUnit(GameRandom());
    SeedRandom(21);
    for (int i = 0; i < 800; ++i) RandomReal(360, 0);
    EXPECT_EQ(next, RandomUnit(GameRandom()));
    // The first angle of a spark lifts it out of the plane, the second turns it within.
    SeedRandom(21);
    const double theta = RandomReal(360, 0) * M_PI / 180, phi = RandomReal(360, 0) * M_PI / 180;
    EXPECT_NEAR(burst->sparks[0].vz, 20 * std::sin(theta), 1e-4);
    EXPECT_NEAR(burst->sparks[0].vy, 20 * std::cos(theta) * std::sin(phi), 1e-4);
    // The unused slots stay empty.
    EXPECT_EQ(speedof(burst->sparks[400]), 0);
}

TEST(Burst, NeverFillsMoreThanItsSlots) {
    auto burst = std::make_unique<Tburst>();
    burst->explode(GameRandom(), 0, 0, 0, 0, 0, 20, 0, 0, 0, 900, blob());
    EXPECT_EQ(burst->count, Tburst::sparkcapacity);
}

TEST(Burst, SlowsDownAndEndsOnItsHundredthUpdate) {
    auto burst = std::make_unique<Tburst>();
    burst->explode(GameRandom(), 0, 0, -2000, 5, 0, 20, 100, 100, 100, 50, blob());
    const tspark first = burst->sparks[0];
    int ended = 0;
    for (int update = 1; update <= 100 && !ended; ++update) {
        ended = burst->update(GameRandom());
        if (update == 1) {
            const tspark& s = burst->sparks[0];
            EXPECT_FLOAT_EQ(s.vx, first.vx * 0.995f);
            EXPECT_FLOAT_EQ(s.x, first.vx * 0.995f);
            EXPECT_FLOAT_EQ(s.z, -2000 + first.vz * 0.995f);
        }
        if (ended) {
            EXPECT_EQ(update, 100);
        }
    }
    EXPECT_EQ(ended, 1);
    EXPECT_LT(burst->life, 0.01f);
}

TEST(Burst, DrawsSparksOnScreenWithAdditiveLightAtTheirDepth) {
    auto burst = std::make_unique<Tburst>();
    burst->explode(GameRandom(), 0, 0, -2000, 0, 0, 20, 0, 0, 0, 10, blob());
    burst->colour[0] = 100.9f, burst->colour[1] = -3, burst->colour[2] = 259;
    burst->life = 0.5f;
    recording();
    burst->draw(Camera{0, 0, 0.5, 1024, 768});
    DrawRect(0, 0, 1, 1);
    auto images = CallsOf(DrawCall::Image);
    ASSERT_EQ(images.size(), 10u);
    // At depth -2000 and zoom 0.5 the depth scale is 1 / (2 + 2).
    EXPECT_FLOAT_EQ(images[0].state.scaleX, 0.9f * 0.25f);
    EXPECT_FLOAT_EQ(images[0].x, 512);
    EXPECT_FLOAT_EQ(images[0].y, 384);
    EXPECT_EQ(images[0].state.blend, BLEND_LIGHT);
    EXPECT_FLOAT_EQ(images[0].state.alpha, 0.5f);
    EXPECT_EQ(images[0].state.r, 100);
    EXPECT_EQ(images[0].state.g, 0);
    EXPECT_EQ(images[0].state.b, 255);
    // The drawing state is left as the match expects it.
    const DrawState after = CallsOf(DrawCall::Rect).at(0).state;
    EXPECT_EQ(after.blend, BLEND_ALPHA);
    EXPECT_EQ(after.alpha, 1);
    EXPECT_EQ(after.scaleX, 1);

    // Sparks off the screen, or exactly on its edge, are skipped.
    recording();
    burst->draw(Camera{-2048, 0, 0.5, 1024, 768}); // every spark lands on the right edge
    burst->sparks[0].x = 1e6f;
    burst->draw(Camera{0, 0, 0.5, 1024, 768});
    burst->sparks[1].z = 2000; // at 1000 / zoom in front the depth scale is infinite
    burst->draw(Camera{0, 0, 0.5, 1024, 768});
    EXPECT_EQ(CallsOf(DrawCall::Image).size(), 9u + 8u);
}
