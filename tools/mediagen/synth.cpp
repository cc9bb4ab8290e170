#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double twoPi = 6.283185307179586;

// Band-limiting correction for the jumps of saw and pulse waves (polyBLEP), so high notes
// do not alias into harsh whistles.
float blep(double phase, double step) {
    if (phase < step) {
        double t = phase / step;
        return static_cast<float>(t + t - t * t - 1);
    }
    if (phase > 1 - step) {
        double t = (phase - 1) / step;
        return static_cast<float>(t * t + t + t + 1);
    }
    return 0;
}

float saw(double phase, double step) {
    return static_cast<float>(2 * phase - 1) - blep(phase, step);
}

float pulse(double phase, double step, double width) {
    double shifted = phase + (1 - width);
    shifted -= std::floor(shifted);
    return saw(phase, step) - saw(shifted, step);
}

// Attack, decay to sustain, release after the held length; in seconds.
struct Envelope {
    double attack, decay;
    float sustain;
    double release;
    float at(double t, double held) const {
        float level =
            t < attack
                ? static_cast<float>(t / attack)
                : sustain + (1 - sustain) * static_cast<float>(std::exp(-(t - attack) / decay));
        if (t > held) level *= static_cast<float>(std::exp(-(t - held) / release));
        return level;
    }
    double tail() const { return release * 7; }
};

// A one-pole low-pass filter.
struct LowPass {
    float state = 0;
    float run(float input, float cutoff) {
        float k = 1 - std::exp(static_cast<float>(-twoPi) * cutoff / sampleRate);
        state += k * (input - state);
        return state;
    }
};

// Calls voice(t, n) for every frame of a note from its start through its release tail.
template <typename Voice> void render(StereoBuffer& out, double start, double length, Voice voice) {
    size_t first = static_cast<size_t>(std::lround(start * sampleRate));
    size_t count = static_cast<size_t>(length * sampleRate);
    for (size_t n = 0; n < count && first + n < out.frames(); ++n)
        voice(static_cast<double>(n) / sampleRate, first + n);
}

} // namespace

StereoBuffer::StereoBuffer(double seconds)
    : left(static_cast<size_t>(seconds * sampleRate)), right(left.size()) {}

void StereoBuffer::add(size_t i, float v, float pan) {
    float angle = (pan + 1) * 0.25f * static_cast<float>(twoPi / 2);
    left[i] += v * std::cos(angle);
    right[i] += v * std::sin(angle);
}

void StereoBuffer::mixIn(const StereoBuffer& other, float gain) {
    for (size_t i = 0; i < frames() && i < other.frames(); ++i) {
        left[i] += other.left[i] * gain;
        right[i] += other.right[i] * gain;
    }
}

float Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_) / 2147483648.0f - 1.0f;
}

float midiFrequency(int note) {
    return 440.0f * std::pow(2.0f, (note - 69) / 12.0f);
}

void addLead(StereoBuffer& out, const NoteEvent& e) {
    const Envelope env{0.006, 0.12, 0.65f, 0.07};
    double f = midiFrequency(e.note), phaseA = 0, phaseB = 0.3;
    LowPass filter;
    render(out, e.start, e.length + env.tail(), [&](double t, size_t i) {
        // Vibrato fades in after the first quarter second of a held note.
        double vibrato =
            1 + 0.004 * std::sin(twoPi * 5.5 * t) * std::min(1.0, std::max(0.0, t - 0.25) * 4);
        double stepA = f * vibrato / sampleRate, stepB = stepA * 1.004;
        float v = 0.5f * pulse(phaseA, stepA, 0.25) + 0.35f * saw(phaseB, stepB);
        phaseA += stepA;
        phaseB += stepB;
        phaseA -= std::floor(phaseA);
        phaseB -= std::floor(phaseB);
        v = filter.run(v, 5200);
        out.add(i, v * env.at(t, e.length) * e.level, e.pan);
    });
}

void addPad(StereoBuffer& out, const NoteEvent& e) {
    const Envelope env{0.09, 0.6, 0.8f, 0.25};
    double f = midiFrequency(e.note), phaseL = 0, phaseR = 0.5;
    LowPass filterL, filterR;
    render(out, e.start, e.length + env.tail(), [&](double t, size_t i) {
        double stepL = f * 0.996 / sampleRate, stepR = f * 1.004 / sampleRate;
        float l = filterL.run(saw(phaseL, stepL), 1400);
        float r = filterR.run(saw(phaseR, stepR), 1400);
        phaseL += stepL;
        phaseR += stepR;
        phaseL -= std::floor(phaseL);
        phaseR -= std::floor(phaseR);
        float a = env.at(t, e.length) * e.level;
        out.add(i, l * a, -0.7f);
        out.add(i, r * a, 0.7f);
    });
}

void addPluck(StereoBuffer& out, const NoteEvent& e) {
    const Envelope env{0.002, 0.09, 0.0f, 0.05};
    double f = midiFrequency(e.note), phase = 0;
    LowPass filter;
    render(out, e.start, e.length + env.tail(), [&](double t, size_t i) {
        double step = f / sampleRate;
        float v = filter.run(pulse(phase, step, 0.5),
                             800 + 5000 * static_cast<float>(std::exp(-t / 0.05)));
        phase += step;
        phase -= std::floor(phase);
        out.add(i, v * env.at(t, e.length) * e.level, e.pan);
    });
}

void addBass(StereoBuffer& out, const NoteEvent& e) {
    const Envelope env{0.004, 0.15, 0.7f, 0.04};
    double f = midiFrequency(e.note), phase = 0;
    LowPass filter;
    render(out, e.start, e.length + env.tail(), [&](double t, size_t i) {
        double step = f / sampleRate;
        float sub = static_cast<float>(std::sin(twoPi * phase));
        float cutoff = 300 + 1500 * static_cast<float>(std::exp(-t / 0.08));
        float v = filter.run(saw(phase, step), cutoff) + 0.6f * sub;
        phase += step;
        phase -= std::floor(phase);
        out.add(i, v * env.at(t, e.length) * e.level, 0);
    });
}

void addKick(StereoBuffer& out, double start, float level) {
    double phase = 0;
    render(out, start, 0.45, [&](double t, size_t i) {
        // The pitch falls fast from a punchy click to a low thump.
        double f = 48 + 110 * std::exp(-t / 0.035);
        phase += f / sampleRate;
        float amp =
            static_cast<float>(std::exp(-t / 0.16)) * std::min(1.0f, static_cast<float>(t / 0.001));
        out.add(i, static_cast<float>(std::sin(twoPi * phase)) * amp * level, 0);
    });
}

void addSnare(StereoBuffer& out, double start, float level, Noise& noise) {
    LowPass body;
    render(out, start, 0.3, [&](double t, size_t i) {
        float n = noise.next();
        float bright = n - body.run(n, 1200); // high-passed noise: the snare wires
        float tone = static_cast<float>(std::sin(twoPi * 190 * t) * std::exp(-t / 0.04));
        float amp = static_cast<float>(std::exp(-t / 0.07));
        out.add(i, (0.8f * bright * amp + 0.5f * tone) * level, -0.15f);
    });
}

void addHat(StereoBuffer& out, double start, float level, bool open, Noise& noise) {
    LowPass low;
    double decay = open ? 0.12 : 0.025;
    render(out, start, decay * 6, [&](double t, size_t i) {
        float n = noise.next();
        float hiss = n - low.run(n, 7000);
        out.add(i, hiss * static_cast<float>(std::exp(-t / decay)) * level, 0.35f);
    });
}

void addCrash(StereoBuffer& out, double start, float level, Noise& noise) {
    LowPass lowL, lowR;
    render(out, start, 2.5, [&](double t, size_t i) {
        float amp = static_cast<float>(std::exp(-t / 0.6)) * level;
        float l = noise.next(), r = noise.next();
        out.add(i, (l - lowL.run(l, 4000)) * amp, -0.8f);
        out.add(i, (r - lowR.run(r, 4000)) * amp, 0.8f);
    });
}

void addEcho(StereoBuffer& buffer, double delay, float feedback, float level) {
    size_t d = static_cast<size_t>(delay * sampleRate);
    std::vector<float> echoL(buffer.frames()), echoR(buffer.frames());
    for (size_t i = d; i < buffer.frames(); ++i) {
        // Dry right feeds the left echo and vice versa, so the repeats bounce between sides.
        echoL[i] = (buffer.right[i - d] + echoR[i - d]) * feedback;
        echoR[i] = (buffer.left[i - d] + echoL[i - d]) * feedback;
    }
    for (size_t i = 0; i < buffer.frames(); ++i) {
        buffer.left[i] += echoL[i] * level;
        buffer.right[i] += echoR[i] * level;
    }
}
