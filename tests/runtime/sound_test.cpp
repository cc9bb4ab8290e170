#include "badmedia.h"
#include "runtime/mixer.h"
#include "runtime/runtime.h"
#include "runtime/sound.h"
#include "runtime/sound_data.h"
#include "runtime/sound_decoder.h"
#include "tempfixture.h"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <sys/stat.h>
#include <thread>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

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

// The whole file through vorbisfile in its own format, for comparison.
std::vector<int16_t> decodeAll(const std::string& path) {
    OggVorbis_File file;
    std::vector<int16_t> out;
    if (ov_fopen(path.c_str(), &file) != 0) return out;
    char buffer[4096];
    int section = 0;
    long bytes;
    while ((bytes = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
        const auto* samples = reinterpret_cast<const int16_t*>(buffer);
        out.insert(out.end(), samples, samples + bytes / 2);
    }
    ov_clear(&file);
    return out;
}

// Bytes the allocator has handed out, or 0 where it cannot tell (under AddressSanitizer, whose
// allocator glibc does not see).
size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return 0;
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// The decoded frames of the sound, gathered from its blocks.
std::vector<int16_t> decodedSamples(const TSoundData& sound) {
    const size_t frames = sound.decoded.load(std::memory_order_acquire);
    std::vector<int16_t> out;
    for (size_t f = 0; f < frames; f += TSoundData::BLOCK_FRAMES) {
        const int16_t* block = sound.block(f);
        out.insert(out.end(), block, block + std::min(TSoundData::BLOCK_FRAMES, frames - f) * 2);
    }
    return out;
}

// Mixes on the channel (as the audio thread would) until the sound has finished decoding.
bool mixUntilDecoded(const TSound& sound, const TChannel& channel) {
    for (int i = 0; i < 10000 && !sound->complete.load(); ++i) {
        mix(256);
        ChannelPlaying(channel);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return sound->complete.load();
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

// Every refusal is one line naming the file, and none of them waits or allocates for what a
// header claims.
TEST_F(SoundTest, UnreadableFilesGiveNoSound) {
    auto refusal = [&](const char* file) {
        std::string error;
        EXPECT_FALSE(LoadSound(path(file), 0, &error)) << file;
        EXPECT_NE(error.find(path(file)), std::string::npos) << error;
        return error;
    };
    // A length of centuries in the last page is refused instead of allocated. (The file has
    // several pages: with one, the first page's claim would cancel the last one's.)
    encodeTone(path("huge.ogg"), 2, 44100, 4.0, 0.5);
    ASSERT_TRUE(PatchOgg(path("huge.ogg"), 0, int64_t{1} << 50));
    EXPECT_NE(refusal("huge.ogg").find("damaged"), std::string::npos);
    // Sample rates no recording has.
    for (long rate : {4000L, 300000L}) {
        encodeTone(path("rate.ogg"), 2, 44100, 0.5, 0.5);
        ASSERT_TRUE(PatchOgg(path("rate.ogg"), rate, -1));
        EXPECT_NE(refusal("rate.ogg").find(std::to_string(rate) + " Hz"), std::string::npos);
    }
    // A FIFO (which no one will ever write) and a folder where the file should be.
    ASSERT_EQ(mkfifo(path("fifo.ogg").c_str(), 0600), 0);
    EXPECT_NE(refusal("fifo.ogg").find("not a regular file"), std::string::npos);
    std::filesystem::create_directory(path("folder.ogg"));
    EXPECT_NE(refusal("folder.ogg").find("not a regular file"), std::string::npos);

    refusal("missing.ogg");
    std::FILE* f = std::fopen(path("text.ogg").c_str(), "wb");
    std::fputs("not a sound", f);
    std::fclose(f);
    EXPECT_NE(refusal("text.ogg").find("not Ogg Vorbis"), std::string::npos);
    EXPECT_EQ(SoundLength(nullptr), 0);
    TChannel none;
    CueSound(nullptr, none);
    EXPECT_EQ(ChannelPlaying(none), 0);
}

// A file whose last page claims an hour but holds two seconds: the length is the claim until
// the end shows up, and the memory is that of two seconds all along, at the mixer's rate and
// resampled from the highest rate alike.
TEST_F(SoundTest, MemoryFollowsWhatIsDecoded) {
    const struct {
        long rate;
        size_t frames; // real frames at the mixer's rate
    } cases[] = {{44100, 2 * 44100}, {192000, size_t{2} * 44100 * 44100 / 192000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        encodeTone(path("liar.ogg"), 2, 44100, 2.0, 0.5);
        ASSERT_TRUE(PatchOgg(path("liar.ogg"), c.rate, ogg_int64_t{3600} * c.rate));
        const size_t heapBefore = heapInUse();
        auto sound = std::make_shared<TSoundData>();
        SoundDecoder decoder(*sound);
        std::string error;
        ASSERT_TRUE(decoder.open(path("liar.ogg"), error)) << error;
        EXPECT_EQ(SoundLength(sound), 3600 * 1000);
        while (decoder.step()) {
        }
        EXPECT_FALSE(decoder.damaged());
        EXPECT_NEAR(static_cast<double>(sound->length.load()), c.frames, 2048);
        EXPECT_EQ(sound->decoded.load(), sound->length.load());
        // Two seconds of stereo are 350 kB; the table for an hour's blocks is 20 kB.
        EXPECT_LT(sound->bytesHeld(), 1u << 20);
        if (heapBefore) {
            EXPECT_LT(heapInUse() - heapBefore, 4u << 20);
        }
    }
}

// A sound longer than the part decoded up front finishes on the background thread while a
// channel plays it, and ends up exactly what decoding the whole file gives.
TEST_F(SoundTest, BackgroundDecodingMatchesTheWholeFile) {
    encodeTone(path("long.ogg"), 2, 44100, 3.0, 0.5);
    TSound sound = LoadSound(path("long.ogg"), 0);
    ASSERT_TRUE(sound);
    EXPECT_NEAR(SoundLength(sound), 3000, 3);
    TChannel channel = AllocChannel();
    CueSound(sound, channel);
    ResumeChannel(channel);
    ASSERT_TRUE(mixUntilDecoded(sound, channel));
    std::vector<int16_t> whole = decodeAll(path("long.ogg"));
    ASSERT_EQ(sound->decoded.load(), whole.size() / 2);
    ASSERT_EQ(sound->length.load(), whole.size() / 2);
    EXPECT_TRUE(whole == decodedSamples(*sound));

    // Dropped while its thread still decodes: the thread stops before the sound goes.
    TSound dropped = LoadSound(path("long.ogg"), 0);
    CueSound(dropped, channel);
    ResumeChannel(channel);
    mix(512);
    CueSound(nullptr, channel);
    dropped.reset();
    EXPECT_EQ(peak(mix(512)), 0);
}

// Resampling carries on across the packets decoded in the background: every new frame of a
// doubled rate lies halfway between its neighbours over the whole sound.
TEST_F(SoundTest, BackgroundResamplingIsSeamless) {
    encodeTone(path("mono.ogg"), 1, 22050, 2.5, 0.5);
    TSound sound = LoadSound(path("mono.ogg"), 0);
    ASSERT_TRUE(sound);
    TChannel channel = AllocChannel();
    ASSERT_TRUE(mixUntilDecoded(sound, channel));
    const size_t frames = sound->decoded.load();
    EXPECT_EQ(frames, decodeAll(path("mono.ogg")).size() * 2);
    const std::vector<int16_t> s = decodedSamples(*sound);
    for (size_t f = 1; f + 1 < frames; f += 2) {
        ASSERT_EQ(s[f * 2], s[f * 2 + 1]) << f;
        ASSERT_NEAR(s[f * 2], (s[f * 2 - 2] + s[f * 2 + 2]) / 2.0, 1) << f;
    }
}

// Resampled sounds are what interpolating the whole decoded file gives, frame for frame,
// across the blocks and the packets of the background thread, up and down in rate.
TEST_F(SoundTest, ResamplingMatchesTheWholeFileInterpolated) {
    const struct {
        int channels;
        long rate;
    } cases[] = {{1, 22050}, {2, 48000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        encodeTone(path("rate.ogg"), c.channels, c.rate, 3.5, 0.5);
        TSound sound = LoadSound(path("rate.ogg"), 0);
        ASSERT_TRUE(sound);
        TChannel channel = AllocChannel();
        ASSERT_TRUE(mixUntilDecoded(sound, channel));
        const std::vector<int16_t> source = decodeAll(path("rate.ogg"));
        const size_t sourceFrames = source.size() / c.channels;
        const size_t frames =
            static_cast<size_t>(static_cast<double>(sourceFrames) * MIX_RATE / c.rate);
        ASSERT_GT(frames, 2 * TSoundData::BLOCK_FRAMES);
        std::vector<int16_t> expected;
        for (size_t f = 0; f < frames; ++f) {
            const double at = static_cast<double>(f) * c.rate / MIX_RATE;
            const size_t i = static_cast<size_t>(at), next = std::min(i + 1, sourceFrames - 1);
            const double t = at - static_cast<double>(i);
            for (int side = 0; side < 2; ++side) {
                const int from = std::min(side, c.channels - 1);
                const double v =
                    source[i * c.channels + from] * (1 - t) + source[next * c.channels + from] * t;
                expected.push_back(static_cast<int16_t>(std::lround(v)));
            }
        }
        EXPECT_TRUE(decodedSamples(*sound) == expected);
    }
}

// A channel that catches up with the decoding waits silently, still playing, and goes on
// from the same frame once more is decoded; it ends only at the end of the complete sound.
TEST_F(SoundTest, ChannelWaitsForTheDecoder) {
    encodeTone(path("wait.ogg"), 2, 44100, 1.0, 0.5);
    auto sound = std::make_shared<TSoundData>();
    SoundDecoder decoder(*sound);
    std::string error;
    ASSERT_TRUE(decoder.open(path("wait.ogg"), error)) << error;
    while (sound->decoded.load() < 4096) ASSERT_TRUE(decoder.step());
    const size_t ready = sound->decoded.load();

    TChannel channel = AllocChannel();
    CueSound(sound, channel);
    ResumeChannel(channel);
    std::vector<int16_t> first = mix(static_cast<int>(ready) + 4096);
    EXPECT_GT(peak({first.begin(), first.begin() + ready * 2}), 0);
    EXPECT_EQ(peak({first.begin() + ready * 2, first.end()}), 0);
    EXPECT_EQ(ChannelPlaying(channel), 1);
    EXPECT_EQ(peak(mix(4096)), 0);
    EXPECT_EQ(ChannelPlaying(channel), 1);

    ASSERT_TRUE(decoder.step());
    std::vector<int16_t> next = mix(64);
    const std::vector<int16_t> decoded = decodedSamples(*sound);
    EXPECT_TRUE(std::equal(next.begin(), next.end(), decoded.begin() + ready * 2));
    while (decoder.step()) {
    }
    EXPECT_FALSE(decoder.damaged());
    size_t mixed = ready + 64;
    while (ChannelPlaying(channel) && mixed < 2 * 44100) mix(1000), mixed += 1000;
    EXPECT_EQ(ChannelPlaying(channel), 0);
    EXPECT_EQ(sound->decoded.load(), sound->length.load());
    EXPECT_NEAR(static_cast<double>(mixed), sound->length.load(), 1000);
}

// The real audio device (SDL's dummy driver in the tests) mixes on its own thread while the
// game thread changes the channel: the sound plays through to its end at the device's pace.
TEST_F(SoundTest, TheDeviceThreadPlaysWhileTheGameChangesTheChannel) {
    encodeTone(path("short.ogg"), 2, 44100, 0.3, 0.5);
    RuntimeOptions options;
    options.video = VideoMode::None;
    options.sound = true;
    ASSERT_TRUE(InitRuntime(options));
    TSound sound = LoadSound(path("short.ogg"), 0);
    ASSERT_TRUE(sound);
    TChannel channel = AllocChannel();
    CueSound(sound, channel);
    ResumeChannel(channel);
    const auto start = std::chrono::steady_clock::now();
    int changes = 0;
    while (ChannelPlaying(channel) &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        SetChannelVolume(channel, changes++ % 2 ? 0.2f : 0.8f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(ChannelPlaying(channel), 0) << "the device never played it to its end";
    EXPECT_GT(seconds, 0.2) << "played faster than the device's clock";
    ShutdownRuntime();
}

// A channel at another pitch walks through the sound faster or slower: at 2 it takes every
// second frame and ends in half the time, at 0.5 it puts a frame halfway between each two.
TEST_F(SoundTest, PitchChangesSpeedAndInterpolates) {
    encodeTone(path("pitch.ogg"), 1, 44100, 0.5, 0.5);
    TSound sound = LoadSound(path("pitch.ogg"), 0);
    ASSERT_TRUE(sound);
    TChannel channel = AllocChannel();
    auto play = [&](float pitch, int frames) {
        CueSound(sound, channel);
        SetChannelPitch(channel, pitch);
        ResumeChannel(channel);
        return mix(frames);
    };
    const std::vector<int16_t> plain = play(1.0f, 4000);
    const std::vector<int16_t> fast = play(2.0f, 2000);
    for (size_t f = 0; f < 2000; ++f) ASSERT_EQ(fast[f * 2], plain[f * 4]) << f;
    const std::vector<int16_t> slow = play(0.5f, 4000);
    for (size_t f = 0; f + 1 < 2000; ++f) {
        ASSERT_EQ(slow[f * 4], plain[f * 2]) << f;
        ASSERT_NEAR(slow[f * 4 + 2], (plain[f * 2] + plain[f * 2 + 2]) / 2.0, 1) << f;
    }

    // The lengths: 22050 frames of sound.
    auto length = [&](float pitch) {
        CueSound(sound, channel);
        SetChannelPitch(channel, pitch);
        ResumeChannel(channel);
        int mixed = 0;
        while (ChannelPlaying(channel) && mixed < 200000) mix(100), mixed += 100;
        return mixed;
    };
    EXPECT_NEAR(length(2.0f), 11025, 200);
    EXPECT_NEAR(length(0.5f), 44100, 200);
    // A new cue plays at the sound's own pitch again.
    CueSound(sound, channel);
    ResumeChannel(channel);
    EXPECT_EQ(mix(4000), plain);
}
