#include "song.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double beatsPerMinute = 128;
constexpr double sixteenth = 60.0 / beatsPerMinute / 4;
constexpr double bar = sixteenth * 16;
constexpr double tailSeconds = 3.0; // the last chord rings out after the final bar

// A chord by its root (MIDI note in the bass octave) and whether its third is minor.
struct Chord {
    int root;
    bool minor;
};
const Chord C{36, false}, G{43, false}, Am{45, true}, F{41, false}, Em{40, true};

// One section of the track: chords (one per bar), a melody in a small note language, and which
// instruments play.
struct Section {
    std::vector<Chord> chords;
    std::string melody; // "E5:4" = E in octave 5 for four sixteenths, "r:2" = rest
    bool drums, bass, arpeggio, leadHarmony; // harmony: a second lead a third below
};

const char* themeMelody = "E5:3 G5:3 C6:2 B5:2 C6:2 G5:4  D5:2 G5:2 B5:4 A5:2 G5:2 D5:4 "
                          "C5:2 E5:2 A5:3 G5:3 A5:2 C6:4  A5:2 G5:2 F5:2 E5:2 F5:4 r:4 "
                          "E5:3 G5:3 C6:2 D6:2 E6:2 C6:4  D6:3 B5:3 G5:2 A5:2 B5:2 D6:4 "
                          "C6:3 A5:3 E5:2 G5:2 A5:2 E5:4  F5:2 A5:2 G5:4 r:2 E5:2 D5:4";
const char* chorusMelody = "A5:4 C6:4 F6:4 E6:4  D6:4 B5:4 G5:4 D6:4 "
                           "E6:6 D6:2 B5:4 G5:4  A5:6 C6:2 E6:4 A5:4 "
                           "F5:2 A5:2 C6:2 F6:2 E6:4 C6:4  D6:2 B5:2 G5:2 B5:2 D6:4 G6:4 "
                           "E6:4 D6:2 C6:2 G5:4 E5:4  D5:2 F5:2 G5:2 B5:2 D6:8";
const char* endingMelody = "A5:4 C6:4 A5:2 G5:2 F5:4  G5:4 B5:4 D6:4 F6:4  E6:16  C6:16";

std::vector<Section> arrangement() {
    const std::vector<Chord> theme{C, G, Am, F, C, G, Am, F};
    return {
        {{C, G, Am, F}, "", false, false, true, false},
        {theme, themeMelody, true, true, false, false},
        {{F, G, Em, Am, F, G, C, G}, chorusMelody, true, true, true, false},
        {{Am, F, C, G}, "", true, true, true, false},
        {theme, themeMelody, true, true, true, true},
        {{F, G, C, C}, endingMelody, true, true, false, false},
    };
}

int noteNumber(const std::string& name) {
    static const int offsets[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int pitch = offsets[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') ++pitch, ++i;
    return 12 * (std::stoi(name.substr(i)) + 1) + pitch;
}

// The note a third below in C major (two scale steps down); the melodies use no sharps or flats.
int thirdBelow(int note) {
    static const int scale[7] = {0, 2, 4, 5, 7, 9, 11};
    int octave = note / 12, degree = 0;
    while (degree < 6 && scale[degree] != note % 12) ++degree;
    degree -= 2;
    if (degree < 0) degree += 7, --octave;
    return 12 * octave + scale[degree];
}

std::vector<int> chordTones(Chord c) {
    return {c.root, c.root + (c.minor ? 3 : 4), c.root + 7};
}

// Everything one section contributes, on separate buses so each can be balanced and the lead
// can get its echo.
struct Buses {
    StereoBuffer lead, keys, bass, drums;
    std::vector<double> kicks; // start times, for the pumping of the keys
    Noise noise{20261208};
    explicit Buses(double seconds) : lead(seconds), keys(seconds), bass(seconds), drums(seconds) {}
};

void playMelody(Buses& b, double start, const std::string& melody, bool harmony) {
    std::istringstream tokens(melody);
    std::string token;
    double t = start;
    while (tokens >> token) {
        size_t colon = token.find(':');
        double length = std::stoi(token.substr(colon + 1)) * sixteenth;
        if (token[0] != 'r') {
            int note = noteNumber(token.substr(0, colon));
            addLead(b.lead, {t, length * 0.92, note, 0.7f, 0.1f});
            if (harmony) addLead(b.lead, {t, length * 0.92, thirdBelow(note), 0.35f, -0.4f});
        }
        t += length;
    }
}

void playChordBar(Buses& b, double start, Chord c, const Section& s) {
    for (int note : chordTones(c)) addPad(b.keys, {start, bar * 0.98, note + 24, 0.16f, 0});
    if (s.arpeggio) {
        std::vector<int> tones = chordTones(c);
        const int order[8] = {0, 1, 2, 3, 2, 1, 0, 1};
        for (int k = 0; k < 16; ++k) {
            int i = order[k % 8];
            int note = (i == 3 ? tones[0] + 12 : tones[i]) + 36;
            addPluck(b.keys,
                     {start + k * sixteenth, sixteenth * 0.6, note, 0.22f, k % 2 ? 0.5f : -0.5f});
        }
    }
    if (s.bass) {
        // Octave-jumping eighths: the disco pulse that keeps the game moving.
        for (int k = 0; k < 8; ++k) {
            int note = c.root + (k % 2 ? 12 : 0);
            addBass(b.bass, {start + k * 2 * sixteenth, sixteenth * 1.6, note, 0.5f, 0});
        }
    }
}

void kick(Buses& b, double t) {
    addKick(b.drums, t, 1.0f);
    b.kicks.push_back(t);
}

// Ducks the keys briefly on every kick: the pumping that gives dance tracks their bounce.
void pump(StereoBuffer& keys, const std::vector<double>& kicks) {
    size_t next = 0;
    double last = -1e9;
    for (size_t i = 0; i < keys.frames(); ++i) {
        double t = static_cast<double>(i) / sampleRate;
        while (next < kicks.size() && kicks[next] <= t) last = kicks[next++];
        float gain = 1 - 0.45f * static_cast<float>(std::exp(-(t - last) / 0.09));
        keys.left[i] *= gain;
        keys.right[i] *= gain;
    }
}

void playDrumBar(Buses& b, double start, bool fill, bool crash) {
    if (crash) addCrash(b.drums, start, 0.35f, b.noise);
    for (int k = 0; k < 16; ++k) {
        double t = start + k * sixteenth;
        if (k % 4 == 0) kick(b, t);
        if (k == 4 || k == 12 || (fill && k >= 13))
            addSnare(b.drums, t, k > 12 ? 0.45f : 0.6f, b.noise);
        if (k % 2 == 0)
            addHat(b.drums, t, k % 4 == 2 ? 0.28f : 0.16f, k % 4 == 2, b.noise);
        else
            addHat(b.drums, t, 0.08f, false, b.noise);
    }
}

// The final bar: one full chord with crash, left to ring into the silence.
void playFinalHit(Buses& b, double start) {
    addCrash(b.drums, start, 0.4f, b.noise);
    kick(b, start);
    for (int note : chordTones(C)) addPad(b.keys, {start, bar * 1.2, note + 24, 0.18f, 0});
    addBass(b.bass, {start, bar * 0.9, C.root, 0.55f, 0});
    addBass(b.bass, {start, bar * 0.9, C.root + 12, 0.3f, 0});
}

void playSection(Buses& b, double start, const Section& s, bool ending) {
    if (!s.melody.empty()) playMelody(b, start, s.melody, s.leadHarmony);
    for (size_t k = 0; k < s.chords.size(); ++k) {
        double t = start + k * bar;
        bool last = k + 1 == s.chords.size();
        if (ending && last) {
            playFinalHit(b, t);
            continue;
        }
        playChordBar(b, t, s.chords[k], s);
        // The intro brings the drums in for its second half.
        bool drums = s.drums || k >= s.chords.size() / 2;
        if (drums) playDrumBar(b, t, last && !ending, k == 0 && s.drums);
    }
}

// Fades the first milliseconds in and the last second out, then scales the peak to about
// -2 dB so that the lossy encoding cannot push any sample past full scale.
void master(StereoBuffer& mix) {
    const size_t fadeIn = sampleRate / 100, fadeOut = sampleRate;
    float peak = 0;
    for (size_t i = 0; i < mix.frames(); ++i) {
        float g = 1;
        if (i < fadeIn) g = static_cast<float>(i) / fadeIn;
        if (i + fadeOut > mix.frames()) g *= static_cast<float>(mix.frames() - i) / fadeOut;
        mix.left[i] *= g;
        mix.right[i] *= g;
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    }
    float scale = peak > 0 ? 0.79f / peak : 1;
    for (size_t i = 0; i < mix.frames(); ++i) {
        mix.left[i] *= scale;
        mix.right[i] *= scale;
    }
}

} // namespace

StereoBuffer renderSong() {
    std::vector<Section> sections = arrangement();
    size_t bars = 0;
    for (const Section& s : sections) bars += s.chords.size();
    double seconds = bars * bar + tailSeconds;
    Buses buses(seconds);
    double t = 0;
    for (size_t k = 0; k < sections.size(); ++k) {
        playSection(buses, t, sections[k], k + 1 == sections.size());
        t += sections[k].chords.size() * bar;
    }
    pump(buses.keys, buses.kicks);
    addEcho(buses.lead, sixteenth * 3, 0.35f, 0.5f);
    StereoBuffer mix(seconds);
    mix.mixIn(buses.drums, 0.8f);
    mix.mixIn(buses.bass, 0.6f);
    mix.mixIn(buses.keys, 0.8f);
    mix.mixIn(buses.lead, 0.9f);
    master(mix);
    return mix;
}
