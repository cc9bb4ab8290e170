// What sounds and channels hold, shared by the channel commands (game thread) and the mixer
// (audio thread). Every field of a channel is read and written under MixerLock() only.
#pragma once
#include "runtime/sound.h"
#include <cstdint>
#include <mutex>
#include <vector>

struct TSoundData {
    std::vector<int16_t> samples; // interleaved stereo at MIX_RATE
    int flags = 0;
    size_t frames() const { return samples.size() / 2; }
};

struct TChannelData {
    enum State { Idle, Paused, Playing, Finished };
    TSound sound;
    size_t position = 0; // next frame to mix
    float volume = 1.0f;
    State state = Idle;
};

// The one lock between the game thread and the audio callback.
std::mutex& MixerLock();
// Channels the mixer visits; AllocChannel adds them, their deleter takes them out.
void RegisterChannel(TChannelData* channel);
void UnregisterChannel(TChannelData* channel);
