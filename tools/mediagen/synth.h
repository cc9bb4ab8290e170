// A small additive synthesiser for the music track: every instrument mixes one note or drum
// hit into a stereo buffer at a given time. All noise comes from a seeded generator, so the
// track is identical on every build.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int sampleRate = 44100;

struct StereoBuffer {
    std::vector<float> left, right;
    explicit StereoBuffer(double seconds);
    size_t frames() const { return left.size(); }
    // Adds a mono sample at frame i, panned from -1 (left) to 1 (right), equal power.
    void add(size_t i, float v, float pan);
    void mixIn(const StereoBuffer& other, float gain);
};

// Repeatable white noise in -1..1 (xorshift).
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    float next();

  private:
    uint32_t state_;
};

float midiFrequency(int note);

// Melodic voices: start and length in seconds, level 0-1, pan -1..1.
struct NoteEvent {
    double start;
    double length;
    int note; // MIDI note number
    float level;
    float pan;
};

// A bright lead: two detuned pulse waves with vibrato once the note is held.
void addLead(StereoBuffer& out, const NoteEvent& e);
// A soft chord pad: detuned saws, one per side, low-passed, slow attack and release.
void addPad(StereoBuffer& out, const NoteEvent& e);
// A short plucked pulse, for the arpeggio.
void addPluck(StereoBuffer& out, const NoteEvent& e);
// The bass: saw with a sub sine and a closing filter.
void addBass(StereoBuffer& out, const NoteEvent& e);

// Drums: start in seconds, level 0-1.
void addKick(StereoBuffer& out, double start, float level);
void addSnare(StereoBuffer& out, double start, float level, Noise& noise);
void addHat(StereoBuffer& out, double start, float level, bool open, Noise& noise);
void addCrash(StereoBuffer& out, double start, float level, Noise& noise);

// A ping-pong echo: each repeat alternates sides and is quieter by feedback.
void addEcho(StereoBuffer& buffer, double delay, float feedback, float level);
