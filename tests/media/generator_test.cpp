// The generator's building blocks: voices sound at their notes, the echo bounces between the
// sides, the football pattern has the right panels, and painting over follows the "over" rule.
#include "mediagen/canvas.h"
#include "mediagen/football.h"
#include "mediagen/synth.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Power of one frequency in the left channel (Goertzel filter).
double power(const StereoBuffer& b, double frequency) {
    double k = 2 * std::cos(2 * M_PI * frequency / sampleRate), s1 = 0, s2 = 0;
    for (float v : b.left) {
        double s = v + k * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

} // namespace

TEST(Synth, VoicesSoundAtTheirNotes) {
    const struct {
        void (*voice)(StereoBuffer&, const NoteEvent&);
        int note;
    } cases[] = {{addLead, 69}, {addPad, 60}, {addPluck, 72}, {addBass, 36}};
    for (const auto& c : cases) {
        StereoBuffer b(1.0);
        c.voice(b, {0.0, 0.5, c.note, 0.5f, 0});
        double f = midiFrequency(c.note), semitone = std::pow(2.0, 1 / 12.0);
        double at = power(b, f);
        EXPECT_GT(at, 10 * power(b, f * semitone)) << c.note;
        EXPECT_GT(at, 10 * power(b, f / semitone)) << c.note;
        for (size_t i = 0; i < b.frames(); ++i) ASSERT_LT(std::fabs(b.left[i]), 1.0f) << c.note;
    }
    EXPECT_FLOAT_EQ(midiFrequency(69), 440.0f);
    EXPECT_NEAR(midiFrequency(60), 261.63f, 0.01f);
}

TEST(Synth, EchoBouncesBetweenSidesAndFades) {
    StereoBuffer b(0.5);
    b.left[0] = 1;
    addEcho(b, 0.1, 0.5f, 1.0f);
    const size_t d = sampleRate / 10;
    for (size_t i = 1; i < d; ++i) ASSERT_EQ(b.left[i] + b.right[i], 0.0f) << i;
    EXPECT_FLOAT_EQ(b.right[d], 0.5f);
    EXPECT_FLOAT_EQ(b.left[d], 0.0f);
    EXPECT_FLOAT_EQ(b.left[2 * d], 0.25f);
    EXPECT_FLOAT_EQ(b.right[3 * d], 0.125f);
}

TEST(Synth, NoiseIsRepeatableAndSpansBothSigns) {
    Noise a(7), b(7);
    float low = 0, high = 0;
    for (int i = 0; i < 1000; ++i) {
        float v = a.next();
        ASSERT_EQ(v, b.next());
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_LT(low, -0.9f);
    EXPECT_GT(high, 0.9f);
}

// Over the whole sphere the twelve dark pentagons cover a bit over a quarter of the surface
// and the seams a thin share; a wrong set of panel directions breaks both.
TEST(Football, PanelsCoverTheSphereInTheRightShares) {
    const int n = 20000;
    int dark = 0, seam = 0;
    for (int i = 0; i < n; ++i) { // evenly spread points (golden-angle spiral)
        double z = 1 - (2 * i + 1.0) / n, r = std::sqrt(1 - z * z), a = i * 2.399963229728653;
        float v = footballSurface(static_cast<float>(r * std::cos(a)),
                                  static_cast<float>(r * std::sin(a)), static_cast<float>(z));
        if (v < 0.25f)
            ++dark;
        else if (v < 0.5f)
            ++seam;
    }
    EXPECT_NEAR(static_cast<double>(dark) / n, 0.28, 0.05);
    EXPECT_GT(seam, n / 50);
    EXPECT_LT(seam, n / 5);
}

TEST(Canvas, PaintingFollowsTheOverRule) {
    Canvas c(2, 1);
    c.set(0, 0, {0, 0, 1, 1});
    c.blend(0, 0, {1, 0, 0, 0.5f});
    Colour p = c.get(0, 0);
    EXPECT_FLOAT_EQ(p.r, 0.5f);
    EXPECT_FLOAT_EQ(p.b, 0.5f);
    EXPECT_FLOAT_EQ(p.a, 1.0f);
    // Over a clear pixel the painted colour is kept whole, only its alpha counts.
    c.blend(1, 0, {1, 0, 0, 0.25f});
    p = c.get(1, 0);
    EXPECT_FLOAT_EQ(p.r, 1.0f);
    EXPECT_FLOAT_EQ(p.g, 0.0f);
    EXPECT_FLOAT_EQ(p.a, 0.25f);
    c.blend(1, 0, {0, 1, 0, 0});
    EXPECT_FLOAT_EQ(c.get(1, 0).g, 0.0f);
}
