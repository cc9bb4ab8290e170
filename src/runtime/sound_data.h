// What sounds and channels hold, shared by the channel commands (game thread), the mixer
// (audio thread) and a sound's decoding thread. Every field of a channel is read and written
// under MixerLock() only; a sound's decoded part is published through its atomics.
#pragma once
#include "runtime/sound.h"
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

struct TSoundData {
    TSoundData() = default;
    TSoundData(const TSoundData&) = delete;
    TSoundData& operator=(const TSoundData&) = delete;
    // Stops the decoding thread, if it still runs, and waits for it.
    ~TSoundData();

    // Interleaved stereo at MIX_RATE, allocated for the whole sound before decoding starts and
    // never moved: the mixer reads the decoded part while the rest is written. Left
    // uninitialised, so the music's megabytes are first touched by the decoding thread.
    std::unique_ptr<int16_t[]> samples;
    int flags = 0;
    // Frames of the whole sound; lowered if the file ends before its header said.
    std::atomic<size_t> length{0};
    // Frames ready at the start of samples (stored with release, loaded with acquire).
    std::atomic<size_t> decoded{0};
    // Set after the last store to decoded: no more frames will come.
    std::atomic<bool> complete{false};
    // Asks the decoding thread to give up (the sound is being destroyed).
    std::atomic<bool> cancel{false};
    std::thread decoding;
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
