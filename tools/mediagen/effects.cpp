#include "effects.h"

#include <cmath>

namespace {

constexpr double twoPi = 6.283185307179586;

// Writes a mono voice v(t) of the given length into a new buffer, in the middle.
template <typename Voice> StereoBuffer render(double seconds, Voice voice) {
    StereoBuffer out(seconds);
    for (size_t n = 0; n < out.frames(); ++n)
        out.add(n, voice(static_cast<double>(n) / sampleRate), 0);
    return out;
}

// A soft start over a few milliseconds keeps every effect free of clicks.
double fadeIn(double t, double seconds) {
    return t < seconds ? t / seconds : 1;
}

} // namespace

StereoBuffer makeThud() {
    Noise noise(0x7407);
    float knock = 0;
    double phase = 0;
    return render(0.35, [&](double t) {
        // The pitch falls fast, as a struck soft body does; the phase sums the changing rate.
        const double frequency = 55 + 85 * std::exp(-t / 0.04);
        phase += frequency / sampleRate;
        const double body = std::sin(twoPi * phase) * std::exp(-t / 0.09);
        // The knock: low-passed noise over the first 20 ms.
        knock += 0.12f * (noise.next() - knock);
        const double felt = knock * std::exp(-t / 0.012);
        return static_cast<float>(0.5 * fadeIn(t, 0.002) * (body + 0.8 * felt));
    });
}

StereoBuffer makeTick() {
    return render(0.05, [](double t) {
        const double tone = std::sin(twoPi * 2400 * t) + 0.3 * std::sin(twoPi * 4800 * t);
        return static_cast<float>(0.18 * fadeIn(t, 0.001) * tone * std::exp(-t / 0.008));
    });
}

StereoBuffer makeConfirm() {
    const double notes[2] = {midiFrequency(76), midiFrequency(83)}; // E5, B5
    return render(0.3, [&](double t) {
        double v = 0;
        for (int k = 0; k < 2; ++k) {
            const double s = t - 0.07 * k;
            if (s < 0) continue;
            const double f = notes[k];
            const double tone = std::sin(twoPi * f * s) + 0.25 * std::sin(twoPi * 2 * f * s);
            v += fadeIn(s, 0.003) * tone * std::exp(-s / 0.08);
        }
        return static_cast<float>(0.22 * v);
    });
}

StereoBuffer makeGoalChord() {
    // C major rising over an octave and a third, each note entering 90 ms after the last.
    const int notes[5] = {60, 64, 67, 72, 76};
    return render(1.6, [&](double t) {
        double v = 0;
        for (int k = 0; k < 5; ++k) {
            const double s = t - 0.09 * k;
            if (s < 0) continue;
            const double f = midiFrequency(notes[k]);
            // A gentle bell: the tone with a soft octave, slightly detuned for width.
            const double tone = std::sin(twoPi * f * s) + 0.35 * std::sin(twoPi * 2.003 * f * s) +
                                0.12 * std::sin(twoPi * 3.01 * f * s);
            v += fadeIn(s, 0.01) * tone * std::exp(-s / 0.45);
        }
        return static_cast<float>(0.09 * v * (t > 1.4 ? (1.6 - t) / 0.2 : 1));
    });
}

StereoBuffer makePop() {
    Noise noise(0xB0011);
    float crack = 0, boom = 0;
    double phase = 0;
    return render(0.7, [&](double t) {
        // A bright crack that darkens as it fades, then a sparse crackle of tiny clicks.
        const float cutoff = static_cast<float>(0.6 * std::exp(-t / 0.05) + 0.05);
        crack += cutoff * (noise.next() - crack);
        const double bang = crack * std::exp(-t / 0.05);
        phase += (40 + 50 * std::exp(-t / 0.03)) / sampleRate;
        boom = static_cast<float>(std::sin(twoPi * phase) * std::exp(-t / 0.12));
        const float n = noise.next();
        const double crackle = t > 0.08 && std::fabs(n) > 0.985f ? n * std::exp(-t / 0.25) : 0;
        return static_cast<float>(fadeIn(t, 0.001) * (0.45 * bang + 0.3 * boom + 0.35 * crackle));
    });
}

std::vector<SoundEffect> makeSoundEffects() {
    std::vector<SoundEffect> effects;
    effects.push_back({"thud.ogg", makeThud()});
    effects.push_back({"tick.ogg", makeTick()});
    effects.push_back({"confirm.ogg", makeConfirm()});
    effects.push_back({"goal.ogg", makeGoalChord()});
    effects.push_back({"pop.ogg", makePop()});
    return effects;
}
