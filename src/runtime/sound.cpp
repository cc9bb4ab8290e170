// Sounds decoded from Ogg Vorbis into memory, and the channel commands of the game. Every
// sound is converted once to the mixer's format (16-bit stereo at MIX_RATE), so mixing is a
// plain sum. Only the first second is decoded before LoadSound returns; a background thread
// decodes the rest while the sound may already play.
#include "runtime/mixer.h"
#include "runtime/sound_data.h"
#include "runtime/sound_decoder.h"
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

void deleteChannel(TChannelData* channel) {
    UnregisterChannel(channel);
    delete channel;
}

} // namespace

TSoundData::~TSoundData() {
    cancel.store(true, std::memory_order_relaxed);
    if (decoding.joinable()) decoding.join();
    for (size_t b = 0; b < blockCount; ++b) delete[] blocks[b].load(std::memory_order_relaxed);
}

void TSoundData::reserve(size_t frames) {
    reserved = frames;
    blockCount = (frames + BLOCK_FRAMES - 1) / BLOCK_FRAMES;
    blocks = std::make_unique<std::atomic<int16_t*>[]>(blockCount);
    for (size_t b = 0; b < blockCount; ++b) blocks[b].store(nullptr, std::memory_order_relaxed);
    length.store(frames);
}

int16_t* TSoundData::blockForWriting(size_t f) {
    std::atomic<int16_t*>& slot = blocks[f / BLOCK_FRAMES];
    int16_t* block = slot.load(std::memory_order_relaxed);
    if (!block) {
        // Left uninitialised: only the frames the decoder writes are ever touched or read.
        const size_t first = f - f % BLOCK_FRAMES;
        block = new int16_t[std::min(BLOCK_FRAMES, reserved - first) * 2];
        slot.store(block, std::memory_order_release);
    }
    return block;
}

size_t TSoundData::bytesHeld() const {
    size_t bytes = blockCount * sizeof(blocks[0]);
    for (size_t b = 0; b < blockCount; ++b) {
        if (blocks[b].load(std::memory_order_acquire)) {
            bytes += std::min(BLOCK_FRAMES, reserved - b * BLOCK_FRAMES) * 2 * sizeof(int16_t);
        }
    }
    return bytes;
}

TSound LoadSound(const std::string& path, int flags, std::string* error) {
    auto fail = [&](const std::string& problem) {
        if (error) {
            *error = problem;
        } else {
            std::fprintf(stderr, "LoadSound: %s\n", problem.c_str());
        }
        return nullptr;
    };
    auto sound = std::make_shared<TSoundData>();
    sound->flags = flags;
    auto decoder = std::make_unique<SoundDecoder>(*sound);
    std::string problem;
    if (!decoder->open(path, problem)) return fail(problem);
    // The first second now, so the sound can start at once; the long music track goes on
    // decoding on its own thread while the game carries on.
    while (sound->decoded.load(std::memory_order_relaxed) < MIX_RATE && decoder->step()) {
    }
    if (decoder->damaged()) return fail(path + " is damaged");
#ifdef __EMSCRIPTEN__
    // A page has no threads of its own (they would need headers no plain web host sends): the
    // rest is decoded now.
    while (decoder->step()) {
    }
    if (decoder->damaged()) return fail(path + " is damaged");
#else
    if (!sound->complete.load(std::memory_order_relaxed)) {
        sound->decoding = std::thread([decoder = std::move(decoder)] {
            while (decoder->step()) {
            }
        });
    }
#endif
    return sound;
}

TChannel AllocChannel() {
    TChannel channel(new TChannelData, deleteChannel);
    RegisterChannel(channel.get());
    return channel;
}

TChannel CueSound(const TSound& sound, const TChannel& channel) {
    if (!channel) return channel;
    std::lock_guard<std::mutex> guard(MixerLock());
    channel->sound = sound;
    channel->position = 0;
    channel->pitch = 1.0f;
    channel->fraction = 0.0f;
    channel->state = sound ? TChannelData::Paused : TChannelData::Idle;
    return channel;
}

void SetChannelVolume(const TChannel& channel, float volume) {
    if (!channel) return;
    std::lock_guard<std::mutex> guard(MixerLock());
    channel->volume = volume > 0.0f ? std::min(volume, 1.0f) : 0.0f; // NaN reads as silence
}

void SetChannelPitch(const TChannel& channel, float pitch) {
    if (!channel) return;
    std::lock_guard<std::mutex> guard(MixerLock());
    channel->pitch = pitch > 0.25f ? std::min(pitch, 4.0f) : 0.25f; // NaN reads as the lowest
}

void ResumeChannel(const TChannel& channel) {
    if (!channel) return;
    std::lock_guard<std::mutex> guard(MixerLock());
    // Only a cued (or paused) sound resumes; a stopped or finished one needs a new cue.
    if (channel->state == TChannelData::Paused) channel->state = TChannelData::Playing;
}

void StopChannel(const TChannel& channel) {
    if (!channel) return;
    std::lock_guard<std::mutex> guard(MixerLock());
    if (channel->state != TChannelData::Idle) channel->state = TChannelData::Finished;
}

int ChannelPlaying(const TChannel& channel) {
    if (!channel) return 0;
    std::lock_guard<std::mutex> guard(MixerLock());
    return channel->state == TChannelData::Paused || channel->state == TChannelData::Playing;
}

int SoundLength(const TSound& sound) {
    return sound ? static_cast<int>(sound->length.load() * 1000 / MIX_RATE) : 0;
}
