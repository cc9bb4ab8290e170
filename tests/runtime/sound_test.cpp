#include "runtime/mixer.h"
#include "runtime/sound.h"
#include "temp_folder.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vorbis/vorbisenc.h>

namespace {

// Writes the pages ready in the stream; flush also writes a page that is not full yet.
void writePages(ogg_stream_state& os, FILE* out, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
        std::fwrite(page.header, 1, page.header_len, out);
        std::fwrite(page.body, 1, page.body_len, out);
    }
}

// Encodes a sine tone into an Ogg Vorbis file, the same way the music is produced.
void encodeTone(const std::string& path, int channels, long rate, double seconds, double level) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    ASSERT_EQ(vorbis_encode_init_vbr(&vi, channels, rate, 0.5f), 0);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ogg_packet header[3];
    vorbis_analysis_headerout(&vd, &vc, &header[0], &header[1], &header[2]);
    for (ogg_packet& p : header) ogg_stream_packetin(&os, &p);
    writePages(os, out, true);
    long frames = static_cast<long>(seconds * rate);
    float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(frames));
    for (long i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            buffer[c][i] = static_cast<float>(level * std::sin(2 * M_PI * 441.0 * i / rate));
        }
    }
    vorbis_analysis_wrote(&vd, static_cast<int>(frames));
    vorbis_analysis_wrote(&vd, 0);
    ogg_packet packet;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
        vorbis_analysis(&vb, nullptr);
        vorbis_bitrate_addblock(&vb);
        while (vorbis_bitrate_flushpacket(&vd, &packet)) {
            ogg_stream_packetin(&os, &packet);
            writePages(os, out, false);
        }
    }
    writePages(os, out, true);
    std::fclose(out);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
}

int peak(const std::vector<int16_t>& samples) {
    int p = 0;
    for (int16_t s : samples) p = std::max(p, std::abs(static_cast<int>(s)));
    return p;
}

std::vector<int16_t> mix(int frames) {
    std::vector<int16_t> buffer(static_cast<size_t>(frames) * MIX_CHANNELS, 0);
    MixAudio(buffer.data(), frames);
    return buffer;
}

} // namespace

using SoundTest = TempFolderTest;

// A mono tone at 22050 Hz comes out as stereo at the mixer's rate, at its own level scaled
// by the channel volume, and the channel reports the end of the sound.
TEST_F(SoundTest, DecodeMixAndEnd) {
    encodeTone(path("tone.ogg"), 1, 22050, 0.5, 0.5);
    TSound sound = LoadSound(path("tone.ogg"), 0);
    ASSERT_TRUE(sound);
    EXPECT_NEAR(SoundLength(sound), 500, 3);

    TChannel channel = AllocChannel();
    EXPECT_EQ(ChannelPlaying(channel), 0);
    EXPECT_EQ(CueSound(sound, channel), channel);
    EXPECT_EQ(ChannelPlaying(channel), 1);
    EXPECT_EQ(peak(mix(4096)), 0); // cued paused
    SetChannelVolume(channel, 0.5f);
    ResumeChannel(channel);
    std::vector<int16_t> first = mix(4096);
    EXPECT_NEAR(peak(first), 0.25 * 32767, 0.03 * 32767);
    for (size_t i = 0; i < first.size(); i += 2) ASSERT_EQ(first[i], first[i + 1]);
    // Doubling the rate interpolates: every new frame lies halfway between its neighbours.
    for (size_t i = 2; i + 2 < first.size(); i += 4) {
        ASSERT_NEAR(first[i], (first[i - 2] + first[i + 2]) / 2.0, 2) << i;
    }

    int mixed = 4096;
    while (ChannelPlaying(channel) && mixed < 44100) mix(1000), mixed += 1000;
    EXPECT_EQ(ChannelPlaying(channel), 0);
    EXPECT_NEAR(mixed, 22050, 1000);
    ResumeChannel(channel); // finished: only a new cue plays it again
    EXPECT_EQ(peak(mix(1024)), 0);
    CueSound(sound, channel);
    ResumeChannel(channel);
    EXPECT_GT(peak(mix(1024)), 0);
}

TEST_F(SoundTest, StopNeedsANewCueAndLoudMixesClip) {
    encodeTone(path("loud.ogg"), 2, 44100, 0.2, 0.9);
    TSound sound = LoadSound(path("loud.ogg"), 0);
    ASSERT_TRUE(sound);
    TChannel a = AllocChannel(), b = AllocChannel();
    for (const TChannel& c : {a, b}) CueSound(sound, c), ResumeChannel(c);
    std::vector<int16_t> both = mix(2048);
    EXPECT_EQ(*std::max_element(both.begin(), both.end()), 32767);
    EXPECT_EQ(*std::min_element(both.begin(), both.end()), -32768);
    // Clipped, not wrapped: every sample keeps the sign of the single tone.
    for (size_t i = 0; i + 1 < both.size(); i += 2) ASSERT_EQ(both[i], both[i + 1]);

    StopChannel(a);
    StopChannel(b);
    EXPECT_EQ(ChannelPlaying(a), 0);
    ResumeChannel(a);
    EXPECT_EQ(ChannelPlaying(a), 0);
    EXPECT_EQ(peak(mix(1024)), 0);
}

TEST_F(SoundTest, UnreadableFilesGiveNoSound) {
    EXPECT_FALSE(LoadSound(path("missing.ogg"), 0));
    std::FILE* f = std::fopen(path("text.ogg").c_str(), "wb");
    std::fputs("not a sound", f);
    std::fclose(f);
    EXPECT_FALSE(LoadSound(path("text.ogg"), 0));
    EXPECT_EQ(SoundLength(nullptr), 0);
    TChannel none;
    CueSound(nullptr, none);
    EXPECT_EQ(ChannelPlaying(none), 0);
}
