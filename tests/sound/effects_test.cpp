// The sound effects as a player hears them: a match played with its listener and the game's
// own effects, the output stream taken from SDL's disk driver. A touch of the main ball puts
// the thud into the stream within two frames, as loud as the chosen volume; volume 0 and a
// frame played again with drawing off put nothing there. A lost device is replaced.
#include "match/match.h"
#include "match/soundeffects.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "physics/world.h"
#include "runtime/audio_device.h"
#include "runtime/folders.h"
#include "runtime/keyboard.h"
#include "runtime/mixer.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "tempfolder.h"
#include <SDL.h>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

// One game frame of output at the mixer's rate.
constexpr long long FRAME = MIX_RATE / 60;

fs::path streamfile;

void realpause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The whole output stream so far, one value per stereo frame (the louder side).
std::vector<int> stream() {
    const std::string bytes = ReadFileBytes(streamfile);
    std::vector<int> frames(bytes.size() / 4);
    for (size_t i = 0; i < frames.size(); ++i) {
        int16_t s[2];
        std::memcpy(s, bytes.data() + i * 4, 4);
        frames[i] = std::max(std::abs(int(s[0])), std::abs(int(s[1])));
    }
    return frames;
}

// The first frame at or after from that is not silent, -1 when none is before to.
long long firstsound(const std::vector<int>& s, long long from, long long to) {
    for (long long i = from; i < to && i < static_cast<long long>(s.size()); ++i) {
        if (s[i] != 0) return i;
    }
    return -1;
}

double rms(const std::vector<int>& s, long long from, long long count) {
    double sum = 0;
    for (long long i = from; i < from + count && i < static_cast<long long>(s.size()); ++i)
        sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(count));
}

class Effects : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const fs::path folder = MakeTempFolder("vantorix-sound-");
        fs::current_path(folder);
        fs::create_directory_symlink(VANTORIX_MEDIA_DIR, "media");
        streamfile = folder / "stream.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", streamfile.c_str(), 1);
        RuntimeOptions options;
        options.video = VideoMode::None;
        options.virtualClock = true;
        ASSERT_TRUE(InitRuntime(options));
        ASSERT_TRUE(AudioPlaying()) << "the disk driver did not open";
        ASSERT_EQ(OpenGraphics(1024, 768, 0, 60, 0), 1);
        for (auto [slot, name] :
             {std::pair{THUDSLOT, "thud.ogg"}, {GOALSLOT, "goal.ogg"}, {POPSLOT, "pop.ogg"}}) {
            sounds[slot] = LoadSound(MediaPath(name), 0);
            ASSERT_TRUE(sounds[slot]) << name;
        }
    }

    // A two-player custom game heard at the volume, played one frame so the listener has
    // seen it; then figure 1's head is put against the main ball and one more frame played
    // (shown or not). Returns where the output stream was when that frame was over.
    long long touch(float volume, bool shown = true) {
        FlushKeys();
        match = std::make_unique<Tmatch>();
        SeedRandom(match->random, 1234);
        match->screenwidth = 1024;
        match->screenheight = 768;
        listener = Tmatchsounds{};
        listener.sounds = sounds;
        listener.volume = volume;
        match->listener = &listener;
        Tcustomsettings custom;
        custom.players = 2;
        EXPECT_TRUE(match->startgame("custom", 1, nullptr, &custom, {}));
        match->playframe();
        EXPECT_EQ(match->mainballs[0]->owner, 0);
        Tball& ball = *match->mainballs[0];
        ragobject& figure = match->man(1);
        const double dx = ball.x - 25 - figure.balls.front()->x;
        const double dy = ball.y - figure.balls.front()->y;
        for (auto& b : figure.balls) {
            b->x += dx, b->y += dy;
            b->vx = 12, b->vy = 0;
        }
        prepareworld(match->world);
        match->playframe(shown);
        EXPECT_EQ(match->mainballs[0]->owner, match->man(1).team) << "the touch did not happen";
        const long long at = static_cast<long long>(MixedFrames());
        // The game goes on at its real pace for half a second, so a late thud would show late.
        for (int i = 0; i < 30; ++i) {
            realpause(1000 / 60);
            match->playframe();
        }
        realpause(300);
        return at;
    }

    static std::array<TSound, 4> sounds;
    std::unique_ptr<Tmatch> match;
    Tmatchsounds listener;
};

std::array<TSound, 4> Effects::sounds;

} // namespace

TEST_F(Effects, ATouchIsHeardAtOnceAsLoudAsTheVolume) {
    double loudness[2] = {};
    for (int i = 0; i < 2; ++i) {
        const long long before = static_cast<long long>(MixedFrames());
        const long long at = touch(i == 0 ? 1.0f : 0.5f);
        const std::vector<int> s = stream();
        ASSERT_GT(static_cast<long long>(s.size()), at + MIX_RATE / 4) << "the stream lags";
        EXPECT_EQ(firstsound(s, before, at), -1) << "sound before the touch";
        const long long start = firstsound(s, at, at + MIX_RATE / 2);
        ASSERT_GE(start, 0) << "no thud";
        // The device's 512 frames of buffer come on top of where the mixer put it.
        EXPECT_LE(start - at + 512, 2 * FRAME) << "heard more than two frames after the touch";
        loudness[i] = rms(s, start, MIX_RATE / 4);
    }
    EXPECT_NEAR(loudness[0] / loudness[1], 2.0, 0.2) << loudness[0] << " " << loudness[1];
}

TEST_F(Effects, VolumeZeroAndFramesPlayedAgainAreSilent) {
    for (bool shown : {true, false}) {
        const long long at = touch(shown ? 0.0f : 1.0f, shown);
        // In the undrawn case, the frames after it are shown and heard: the thud must not come
        // late either, since the owner did not change in them.
        EXPECT_EQ(firstsound(stream(), at, at + MIX_RATE / 2), -1)
            << (shown ? "volume 0" : "undrawn");
    }
}

TEST_F(Effects, ALostDeviceIsReplacedByTheDefault) {
    // The disk driver cannot be unplugged: SDL's own event for that is sent instead.
    const unsigned long long before = MixedFrames();
    const SDL_AudioDeviceID device = TestAudioDevice();
    ASSERT_NE(device, 0u);
    SDL_Event lost{};
    lost.type = SDL_AUDIODEVICEREMOVED;
    // Only the device the game plays is followed; another one's loss changes nothing.
    lost.adevice.which = device + 100;
    AudioDeviceEvent(lost);
    EXPECT_EQ(TestAudioDevice(), device);
    lost.adevice.which = device;
    AudioDeviceEvent(lost);
    EXPECT_TRUE(AudioPlaying()) << "the default device was not opened again";
    realpause(100);
    EXPECT_GT(MixedFrames(), before) << "the mixer stopped";

    // With no device to be had, the game plays on silently until one is added.
    const SDL_AudioDeviceID second = TestAudioDevice();
    lost.adevice.which = second;
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/stream.raw", 1);
    AudioDeviceEvent(lost);
    EXPECT_FALSE(AudioPlaying());
    SDL_Event added{};
    added.type = SDL_AUDIODEVICEADDED;
    setenv("SDL_DISKAUDIOFILE", streamfile.c_str(), 1);
    AudioDeviceEvent(added);
    EXPECT_TRUE(AudioPlaying()) << "the new device was not taken";
}
