// Sounds decoded from Ogg Vorbis into memory, and the channel commands of the game. Every
// sound is converted once to the mixer's format (16-bit stereo at MIX_RATE), so mixing is a
// plain sum.
#include "runtime/mixer.h"
#include "runtime/sound_data.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vorbis/vorbisfile.h>

namespace {

// Reads the whole stream as interleaved 16-bit samples of its own channel count.
bool decode(OggVorbis_File& file, std::vector<int16_t>& out) {
    char buffer[8192];
    int section = 0;
    for (;;) {
        long bytes = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (bytes == 0) return true;
        if (bytes == OV_HOLE) continue; // a gap in the data: carry on after it
        if (bytes < 0) return false;
        const auto* samples = reinterpret_cast<const int16_t*>(buffer);
        out.insert(out.end(), samples, samples + bytes / 2);
    }
}

// Mono is doubled to both sides; beyond two channels the first two are kept.
std::vector<int16_t> toStereo(const std::vector<int16_t>& in, int channels) {
    if (channels == 2) return in;
    size_t frames = in.size() / channels;
    std::vector<int16_t> out(frames * 2);
    for (size_t f = 0; f < frames; ++f) {
        out[f * 2] = in[f * channels];
        out[f * 2 + 1] = in[f * channels + (channels > 1 ? 1 : 0)];
    }
    return out;
}

// Linear interpolation between neighbouring source frames.
std::vector<int16_t> resample(const std::vector<int16_t>& in, long rate) {
    if (rate == MIX_RATE || in.empty()) return in;
    size_t inFrames = in.size() / 2;
    size_t outFrames = static_cast<size_t>(static_cast<double>(inFrames) * MIX_RATE / rate);
    std::vector<int16_t> out(outFrames * 2);
    for (size_t f = 0; f < outFrames; ++f) {
        double at = static_cast<double>(f) * rate / MIX_RATE;
        size_t i = static_cast<size_t>(at);
        size_t next = std::min(i + 1, inFrames - 1);
        double t = at - static_cast<double>(i);
        for (int side = 0; side < 2; ++side) {
            double v = in[i * 2 + side] * (1 - t) + in[next * 2 + side] * t;
            out[f * 2 + side] = static_cast<int16_t>(std::lround(v));
        }
    }
    return out;
}

void deleteChannel(TChannelData* channel) {
    UnregisterChannel(channel);
    delete channel;
}

} // namespace

TSound LoadSound(const std::string& path, int flags) {
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) {
        std::fprintf(stderr, "LoadSound: cannot read %s as Ogg Vorbis\n", path.c_str());
        return nullptr;
    }
    const vorbis_info* info = ov_info(&file, -1);
    int channels = info ? info->channels : 0;
    long rate = info ? info->rate : 0;
    std::vector<int16_t> raw;
    bool ok = channels > 0 && rate > 0 && decode(file, raw);
    ov_clear(&file);
    if (!ok) {
        std::fprintf(stderr, "LoadSound: %s is damaged\n", path.c_str());
        return nullptr;
    }
    auto sound = std::make_shared<TSoundData>();
    sound->samples = resample(toStereo(raw, channels), rate);
    sound->flags = flags;
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
    channel->state = sound ? TChannelData::Paused : TChannelData::Idle;
    return channel;
}

void SetChannelVolume(const TChannel& channel, float volume) {
    if (!channel) return;
    std::lock_guard<std::mutex> guard(MixerLock());
    channel->volume = volume > 0.0f ? std::min(volume, 1.0f) : 0.0f; // NaN reads as silence
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
    return sound ? static_cast<int>(sound->frames() * 1000 / MIX_RATE) : 0;
}
