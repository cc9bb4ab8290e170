// The music and the sound effects must decode with the game's decoder. The music must last at
// least a minute at 44100 Hz, be audible and never reach full scale, and start and end quietly
// so that the restart is clean.
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <vorbis/vorbisfile.h>

namespace {

struct Track {
    long rate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved
};

Track decode(const std::string& path) {
    Track t;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) {
        ADD_FAILURE() << "cannot open " << path;
        return t;
    }
    vorbis_info* info = ov_info(&file, -1);
    t.rate = info->rate;
    t.channels = info->channels;
    float** pcm;
    int section;
    long frames;
    while ((frames = ov_read_float(&file, &pcm, 4096, &section)) != 0) {
        if (frames < 0) {
            ADD_FAILURE() << "damaged stream in " << path;
            break;
        }
        for (long i = 0; i < frames; ++i)
            for (int c = 0; c < t.channels; ++c) t.samples.push_back(pcm[c][i]);
    }
    ov_clear(&file);
    return t;
}

float peak(const std::vector<float>& s, size_t from, size_t to) {
    float p = 0;
    for (size_t i = from; i < to && i < s.size(); ++i) p = std::max(p, std::fabs(s[i]));
    return p;
}

} // namespace

TEST(Music, DecodesAsAMinuteOfAudibleStereoBelowFullScale) {
    Track t = decode(std::string(VANTORIX_MEDIA_DIR) + "/tutto.ogg");
    ASSERT_EQ(t.rate, 44100);
    ASSERT_EQ(t.channels, 2);
    double seconds = static_cast<double>(t.samples.size()) / 2 / t.rate;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 90.0);

    double energy = 0, side = 0;
    for (size_t i = 0; i + 1 < t.samples.size(); i += 2) {
        energy += t.samples[i] * t.samples[i] + t.samples[i + 1] * t.samples[i + 1];
        side += (t.samples[i] - t.samples[i + 1]) * (t.samples[i] - t.samples[i + 1]);
    }
    double rms = std::sqrt(energy / t.samples.size());
    EXPECT_GT(rms, 0.05);                                      // clearly audible
    EXPECT_GT(std::sqrt(side / (t.samples.size() / 2)), 0.01); // left and right differ
    EXPECT_LT(peak(t.samples, 0, t.samples.size()), 0.98f);

    // A clean start and an end that has died away before the game starts the track again.
    EXPECT_LT(peak(t.samples, 0, 2 * 44), 0.05f);
    EXPECT_LT(peak(t.samples, t.samples.size() - 2 * 4410, t.samples.size()), 0.02f);
}

// Every sound effect is short, audible, well below full scale (several may sound at once over
// the music), starts without a click and has died away by its end, so that cutting it there
// or playing it again is clean.
TEST(SoundEffects, ShortAudibleSoftAndClean) {
    struct Expected {
        const char* name;
        double shortest, longest; // seconds
    };
    for (const Expected& e : {Expected{"thud.ogg", 0.2, 0.5}, Expected{"tick.ogg", 0.02, 0.1},
                              Expected{"confirm.ogg", 0.1, 0.5}, Expected{"goal.ogg", 1.0, 2.0},
                              Expected{"pop.ogg", 0.3, 1.0}}) {
        Track t = decode(std::string(VANTORIX_MEDIA_DIR) + "/" + e.name);
        ASSERT_EQ(t.rate, 44100) << e.name;
        ASSERT_EQ(t.channels, 2) << e.name;
        const double seconds = static_cast<double>(t.samples.size()) / 2 / t.rate;
        EXPECT_GE(seconds, e.shortest) << e.name;
        EXPECT_LE(seconds, e.longest) << e.name;
        const float loudest = peak(t.samples, 0, t.samples.size());
        EXPECT_GT(loudest, 0.08f) << e.name;
        EXPECT_LT(loudest, 0.6f) << e.name;
        EXPECT_LT(peak(t.samples, 0, 2 * 22), 0.1f) << e.name << " clicks at its start";
        EXPECT_LT(peak(t.samples, t.samples.size() - 2 * 441, t.samples.size()), 0.03f)
            << e.name << " is cut off";
    }
}
