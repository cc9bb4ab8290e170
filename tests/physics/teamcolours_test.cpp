// The team palettes judged as a player with a colour-vision deficiency would see them: each
// colour is taken to linear RGB, passed through the dichromat simulation of Machado, Oliveira
// and Fernandes (2009, severity 1.0), clamped, and converted to CIELAB (D65); two teams count
// as distinct when their colours lie at least 20 apart (CIE76 distance).
#include "physics/teamcolours.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

using Matrix = double[3][3];

struct Deficiency {
    std::string name;
    Matrix m;
};

const Deficiency deficiencies[] = {
    {"protanopia",
     {{0.152286, 1.052583, -0.204868},
      {0.114503, 0.786281, 0.099216},
      {-0.003882, -0.048116, 1.051998}}},
    {"deuteranopia",
     {{0.367322, 0.860646, -0.227968},
      {0.280085, 0.672501, 0.047413},
      {-0.011820, 0.042940, 0.968881}}},
    {"tritanopia",
     {{1.255528, -0.076749, -0.178779},
      {-0.078411, 0.930809, 0.147602},
      {0.004733, 0.691367, 0.303900}}},
};

const Matrix normalvision = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

constexpr double mindistance = 20;

struct Lab {
    double l, a, b;
};

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double labf(double t) {
    const double e = 216.0 / 24389, k = 24389.0 / 27;
    return t > e ? std::cbrt(t) : (k * t + 16) / 116;
}

// The colour as seen through the simulation, in CIELAB with the D65 white.
Lab seen(const Teamrgb& c, const Matrix& m) {
    const double in[3] = {linear(c.r), linear(c.g), linear(c.b)};
    double rgb[3];
    for (int i = 0; i < 3; ++i) {
        const double v = m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2];
        rgb[i] = std::clamp(v, 0.0, 1.0);
    }
    const double x = 0.4124564 * rgb[0] + 0.3575761 * rgb[1] + 0.1804375 * rgb[2];
    const double y = 0.2126729 * rgb[0] + 0.7151522 * rgb[1] + 0.0721750 * rgb[2];
    const double z = 0.0193339 * rgb[0] + 0.1191920 * rgb[1] + 0.9503041 * rgb[2];
    const double fx = labf(x / 0.95047), fy = labf(y / 1.0), fz = labf(z / 1.08883);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double distance(const Teamrgb& p, const Teamrgb& q, const Matrix& m) {
    const Lab a = seen(p, m), b = seen(q, m);
    return std::hypot(a.l - b.l, a.a - b.a, a.b - b.b);
}

// The closest two of the four colours under the simulation.
double closestpair(const Teamrgb (&teams)[4], const Matrix& m) {
    double closest = 1e9;
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            closest = std::min(closest, distance(teams[i], teams[j], m));
    return closest;
}

} // namespace

TEST(Teamcolours, TheConversionMatchesKnownLabValues) {
    // sRGB red and mid grey, as every colour table gives them.
    const Lab red = seen({255, 0, 0}, normalvision);
    EXPECT_NEAR(red.l, 53.24, 0.01);
    EXPECT_NEAR(red.a, 80.09, 0.01);
    EXPECT_NEAR(red.b, 67.20, 0.01);
    const Lab grey = seen({119, 119, 119}, normalvision);
    EXPECT_NEAR(grey.l, 50.0, 0.1);
    EXPECT_NEAR(grey.a, 0, 0.01);
    EXPECT_NEAR(grey.b, 0, 0.01);
    // Every simulation leaves white and black as they are.
    for (const Deficiency& d : deficiencies) {
        EXPECT_NEAR(seen({255, 255, 255}, d.m).l, 100, 0.1) << d.name;
        EXPECT_NEAR(seen({0, 0, 0}, d.m).l, 0, 1e-9) << d.name;
    }
}

TEST(Teamcolours, TheCheckFailsTheStandardPaletteForRedGreenDeficiencies) {
    const Teamrgb(&bars)[4] = standardpalette.bar;
    // Green and yellow of teams 3 and 4 all but merge without red or green cones.
    EXPECT_LT(distance(bars[2], bars[3], deficiencies[0].m), mindistance);
    EXPECT_LT(distance(bars[2], bars[3], deficiencies[1].m), mindistance);
    // Red and green keep apart mostly by lightness: the simulation takes away more than four
    // fifths of their distance for a deuteranope.
    EXPECT_LT(distance(bars[0], bars[2], deficiencies[1].m),
              distance(bars[0], bars[2], normalvision) / 5);
    // The figures' darker shades fail as well.
    EXPECT_LT(closestpair(standardpalette.figure, deficiencies[0].m), mindistance);
}

TEST(Teamcolours, TheSafePaletteKeepsEveryPairApartUnderEveryDeficiency) {
    for (const Deficiency& d : deficiencies) {
        for (const auto* table : {&safepalette.bar, &safepalette.figure, &safepalette.ball})
            EXPECT_GE(closestpair(*table, d.m), mindistance) << d.name;
    }
    EXPECT_GE(closestpair(safepalette.bar, normalvision), mindistance);
}
