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
    // Frames (stereo pairs of 16-bit samples) in one block of a decoded sound: a quarter of a
    // mebibyte, about 1.5 s at the mixer's rate.
    static constexpr size_t BLOCK_FRAMES = 65536;

    TSoundData() = default;
    TSoundData(const TSoundData&) = delete;
    TSoundData& operator=(const TSoundData&) = delete;
    // Stops the decoding thread, if it still runs, and waits for it; frees the blocks.
    ~TSoundData();

    // Sizes the block table for a sound of the given frames (the length its header claims).
    // Only the table is allocated here, one pointer per block; the blocks come as decoding
    // reaches them, so a file that claims an hour but holds a second takes a second's memory.
    void reserve(size_t frames);
    // The block holding frame f (below the published decoded count): BLOCK_FRAMES frames of
    // interleaved stereo at MIX_RATE, fewer in the last block. Safe on any thread once
    // decoded has been loaded with acquire: every block is stored before the count passes it.
    const int16_t* block(size_t f) const {
        return blocks[f / BLOCK_FRAMES].load(std::memory_order_acquire);
    }
    // For the decoder, which writes frames in order below the reserved count: the block
    // holding frame f, allocated (and published) when f is the first frame of its block.
    int16_t* blockForWriting(size_t f);
    // Bytes the decoded sound holds: its table and the blocks allocated so far.
    size_t bytesHeld() const;

    // One pointer per block, null until the decoder gets there.
    std::unique_ptr<std::atomic<int16_t*>[]> blocks;
    size_t blockCount = 0;
    size_t reserved = 0; // frames the table was sized for
    int flags = 0;
    // Frames of the whole sound; lowered if the file ends before its header said.
    std::atomic<size_t> length{0};
    // Frames ready from the start (stored with release, loaded with acquire).
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
    // Frames of the sound per frame of output: above 1 it plays faster and higher. Between
    // two frames of the sound the output is interpolated; fraction is the way from position
    // to the next.
    float pitch = 1.0f;
    float fraction = 0.0f;
    State state = Idle;
};

// The one lock between the game thread and the audio callback.
std::mutex& MixerLock();
// Channels the mixer visits; AllocChannel adds them, their deleter takes them out.
void RegisterChannel(TChannelData* channel);
void UnregisterChannel(TChannelData* channel);
