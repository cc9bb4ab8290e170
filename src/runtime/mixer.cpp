// The software mixer: every playing channel is added into the device buffer with its volume.
// It runs on the audio thread, so it only touches channels under the mixer lock and never
// allocates or frees memory there.
#include "runtime/mixer.h"
#include "runtime/context.h"
#include "runtime/sound_data.h"
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Plays only what the sound's decoder has published. A channel that catches up with the
// decoding waits there, silent and still playing; it ends only at the end of a complete sound.
void mixChannel(TChannelData& channel, int16_t* stereo, int frames) {
    const TSoundData& sound = *channel.sound;
    // Completion first: once it is seen, the decoded count read after it is the final one.
    const bool complete = sound.complete.load(std::memory_order_acquire);
    const size_t decoded = sound.decoded.load(std::memory_order_acquire);
    const size_t available = decoded - std::min(channel.position, decoded);
    size_t count = std::min(available, static_cast<size_t>(frames));
    // Block by block: every block below the decoded count is published and stays put.
    while (count > 0) {
        const size_t offset = channel.position % TSoundData::BLOCK_FRAMES;
        const size_t run = std::min(count, TSoundData::BLOCK_FRAMES - offset);
        const int16_t* source = sound.block(channel.position) + offset * 2;
        for (size_t i = 0; i < run * 2; ++i) {
            float mixed = stereo[i] + source[i] * channel.volume;
            stereo[i] = static_cast<int16_t>(std::clamp(mixed, -32768.0f, 32767.0f));
        }
        stereo += run * 2;
        channel.position += run;
        count -= run;
    }
    if (complete && channel.position >= decoded) channel.state = TChannelData::Finished;
}

// The same at another pitch: each output frame lies between two frames of the sound and is
// interpolated between them. Both must be decoded, so a channel that catches up with the
// decoding waits, as above.
void mixPitched(TChannelData& channel, int16_t* stereo, int frames) {
    const TSoundData& sound = *channel.sound;
    const bool complete = sound.complete.load(std::memory_order_acquire);
    const size_t decoded = sound.decoded.load(std::memory_order_acquire);
    auto at = [&](size_t f) { return sound.block(f) + (f % TSoundData::BLOCK_FRAMES) * 2; };
    for (int i = 0; i < frames; ++i) {
        if (channel.position >= decoded) break;
        const size_t next =
            channel.position + 1 < decoded ? channel.position + 1 : channel.position;
        // Not yet decoded, the next frame is waited for; at the very end the last one repeats.
        if (next == channel.position && !complete) break;
        const int16_t* a = at(channel.position);
        const int16_t* b = at(next);
        const float t = channel.fraction;
        for (int c = 0; c < 2; ++c) {
            const float sample = (a[c] + (b[c] - a[c]) * t) * channel.volume;
            stereo[i * 2 + c] =
                static_cast<int16_t>(std::clamp(stereo[i * 2 + c] + sample, -32768.0f, 32767.0f));
        }
        channel.fraction += channel.pitch;
        const float whole = std::floor(channel.fraction);
        channel.position += static_cast<size_t>(whole);
        channel.fraction -= whole;
    }
    if (complete && channel.position >= decoded) channel.state = TChannelData::Finished;
}

} // namespace

std::mutex& MixerLock() {
    return rt().mixer.lock;
}

void RegisterChannel(TChannelData* channel) {
    std::lock_guard<std::mutex> guard(MixerLock());
    rt().mixer.channels.push_back(channel);
}

void UnregisterChannel(TChannelData* channel) {
    std::lock_guard<std::mutex> guard(MixerLock());
    std::erase(rt().mixer.channels, channel);
}

unsigned long long MixedFrames() {
    std::lock_guard<std::mutex> guard(MixerLock());
    return rt().mixer.mixed;
}

void MixAudio(int16_t* stereo, int frames) {
    MixAudio(rt().mixer, stereo, frames);
}

void MixAudio(Mixer& mixer, int16_t* stereo, int frames) {
    if (frames <= 0) return;
    std::lock_guard<std::mutex> guard(mixer.lock);
    for (TChannelData* channel : mixer.channels) {
        if (channel->state != TChannelData::Playing || !channel->sound) continue;
        if (channel->pitch == 1.0f) {
            mixChannel(*channel, stereo, frames);
        } else {
            mixPitched(*channel, stereo, frames);
        }
    }
    mixer.mixed += static_cast<unsigned long long>(frames);
}
