// The portable angle: the bits every build of the game must give (on any system, with any
// compiler) for vectors where C libraries disagree, at the ends of the range and as the game
// makes them, each within 1.5 units in the last place of the exact angle (worked out to 300
// bits, then rounded); the edge cases the C standard names; and its symmetries over many
// random vectors.
#include "physics/arctan.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

bool samebits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(Arctan, GivesTheSameBitsEverywhereCloseToTheExactAngle) {
    struct Case {
        double y, x, exact, bits;
    };
    const Case cases[] = {
        {0x1.d390d505fc580p+5, 0x1.3d11ce2c727a2p+9, 0x1.78723a491689bp-4, 0x1.78723a491689bp-4},
        {-0x1.ba00000000000p+8, 0x1.ac00000000000p+6, -0x1.55521cdf1d414p+0, -0x1.55521cdf1d414p+0},
        {0x1.9000000000000p+7, 0x1.9380000000000p+9, 0x1.f188c669ff39fp-3, 0x1.f188c669ff39fp-3},
        {0x1.aa8a08c3c9e60p+5, 0x1.4d0afdc446390p+8, 0x1.451be94141f2dp-3, 0x1.451be94141f2cp-3},
        {-0x1.b480000000000p+9, -0x1.7200000000000p+8, -0x1.f8bf8034dd866p+0,
         -0x1.f8bf8034dd866p+0},
        {-0x1.519eb3a853384p+7, 0x1.e530d6dbad048p+9, -0x1.60beb9ee19917p-3, -0x1.60beb9ee19916p-3},
        {0x1.8000000000000p+3, -0x1.4000000000000p+4, 0x1.4cf33dec5e9e0p+1, 0x1.4cf33dec5e9e0p+1},
        {-0x1.8000000000000p+1, -0x1.0000000000000p+2, -0x1.3fc176b7a8560p+1,
         -0x1.3fc176b7a8560p+1},
        {0x1.0000000000000p+0, 0x1.0000000000000p+0, 0x1.921fb54442d18p-1, 0x1.921fb54442d18p-1},
        {0x1.0624dd2f1a9fcp-10, -0x1.f400000000000p+7, 0x1.921f93b653902p+1, 0x1.921f93b653902p+1},
        {0x1.fffffffffffffp-1, 0x1.0000000000000p+0, 0x1.921fb54442d18p-1, 0x1.921fb54442d18p-1},
        {0x1.0000000000000p+0, 0x1.fffffffffffffp-1, 0x1.921fb54442d19p-1, 0x1.921fb54442d19p-1},
        {0x1.0000000000001p+0, 0x1.0000000000000p+0, 0x1.921fb54442d19p-1, 0x1.921fb54442d19p-1},
        {0x1.2c00000000000p+5, 0x1.921fb54442d18p+1, 0x1.7cba2ae6508f6p+0, 0x1.7cba2ae6508f6p+0},
        {0x0.c54bfd26399b7p-1022, 0x1.a04bf36332724p-352, 0x1.e54ec0b1a03e0p-672,
         0x1.e54ec0b1a03e0p-672},
        {0x1.57cc11d1c6bc3p-49, 0x1.75e32ebd6eb0bp+971, 0x1.d6cb630fa4c5bp-1021,
         0x1.d6cb630fa4c5bp-1021},
        {0x1.fffffffffffffp+1023, 0x1.fffffffffffffp+1023, 0x1.921fb54442d18p-1,
         0x1.921fb54442d18p-1},
        {0x0.0000000000001p-1022, 0x0.0000000000001p-1022, 0x1.921fb54442d18p-1,
         0x1.921fb54442d18p-1},
        {-0x0.0000000000001p-1022, -0x0.0000000000003p-1022, -0x1.68f095fdf593cp+1,
         -0x1.68f095fdf593cp+1},
        {0x1.2000000000000p+1000, -0x1.5000000000000p-1000, 0x1.921fb54442d18p+0,
         0x1.921fb54442d18p+0},
        {0x0.0000000000001p-1022, 0x1.1ccf385ebc8a0p+1023, 0x0.0p+0, 0x0.0p+0},
        {0x1.800005087d7d0p+0, 0x1.8000000000000p+1, 0x1.dac675b47f69ep-2, 0x1.dac675b47f69ep-2},
        {0x1.5e00049667b5ep+8, 0x1.5e00000000000p+9, 0x1.dac675b47f69dp-2, 0x1.dac675b47f69ep-2},
        {0x1.ba7233b6f3438p+7, 0x1.b33771d4aba50p+8, 0x1.e18e77fdf63ecp-2, 0x1.e18e77fdf63ecp-2},
        {0x1.09ac98f62cde8p+9, 0x1.8e348b9e2b840p+9, 0x1.2d3d2983a88c5p-1, 0x1.2d3d2983a88c6p-1},
        {0x1.afd14363b5068p+8, 0x1.7c17ade22125cp+9, 0x1.087e7776eb01fp-1, 0x1.087e7776eb01fp-1},
        {-0x1.a7e53205f5f97p+9, -0x1.ef08a59b464c0p+5, -0x1.a4c6a299c784cp+0,
         -0x1.a4c6a299c784cp+0},
        {0x1.8f05633984b76p+9, 0x1.0c27795daabf4p+8, 0x1.3f2369f9832fcp+0, 0x1.3f2369f9832fcp+0},
        {0x1.68cf792a25516p+9, -0x1.5c1d5882ac5a0p+9, 0x1.2b4d044feb53cp+1, 0x1.2b4d044feb53cp+1},
    };
    for (const Case& c : cases) {
        const double a = arctan2(c.y, c.x);
        EXPECT_TRUE(samebits(a, c.bits))
            << std::hexfloat << c.y << " " << c.x << ": " << a << ", not " << c.bits;
        EXPECT_LE(std::fabs(a - c.exact),
                  1.5 * (std::nextafter(std::fabs(c.exact), INFINITY) - std::fabs(c.exact)))
            << std::hexfloat << c.y << " " << c.x;
    }
}

TEST(Arctan, AnswersTheEdgeCasesAsTheCStandardDoes) {
    const double inf = std::numeric_limits<double>::infinity(), pi = 0x1.921fb54442d18p+1;
    EXPECT_TRUE(samebits(arctan2(0.0, 0.0), 0.0));
    EXPECT_TRUE(samebits(arctan2(-0.0, 0.0), -0.0));
    EXPECT_TRUE(samebits(arctan2(0.0, -0.0), pi));
    EXPECT_TRUE(samebits(arctan2(-0.0, -5.0), -pi));
    EXPECT_TRUE(samebits(arctan2(3.0, 0.0), pi / 2));
    EXPECT_TRUE(samebits(arctan2(-3.0, -0.0), -pi / 2));
    EXPECT_TRUE(samebits(arctan2(inf, inf), pi / 4));
    EXPECT_TRUE(samebits(arctan2(-inf, -inf), -0x1.2d97c7f3321d2p+1));
    EXPECT_TRUE(samebits(arctan2(1.0, -inf), pi));
    EXPECT_TRUE(samebits(arctan2(-1.0, inf), -0.0));
    EXPECT_TRUE(samebits(arctan2(-inf, 7.0), -pi / 2));
    EXPECT_TRUE(std::isnan(arctan2(std::nan(""), 1.0)));
    EXPECT_TRUE(std::isnan(arctan2(1.0, std::nan(""))));
}

// Turning the vector over the x axis turns the angle's sign; every angle lies in [-pi, pi]
// and within a few units in the last place of the C library's.
TEST(Arctan, IsOddInYAndWithinTheRange) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> spread(-2000, 2000);
    for (int i = 0; i < 100000; ++i) {
        const double y = spread(random), x = spread(random), a = arctan2(y, x);
        ASSERT_TRUE(samebits(arctan2(-y, x), -a)) << std::hexfloat << y << " " << x;
        ASSERT_LE(std::fabs(a), 0x1.921fb54442d18p+1);
        ASSERT_NEAR(a, std::atan2(y, x), 4e-16 * std::fabs(a)) << std::hexfloat << y << " " << x;
    }
}
