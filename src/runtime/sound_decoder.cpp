// Piecewise Ogg Vorbis decoding into a sound; see sound_decoder.h.
#include "runtime/sound_decoder.h"
#include "runtime/mixer.h"
#include <algorithm>
#include <cmath>

namespace {

constexpr ogg_int64_t MAX_SECONDS = 3600;

// Frames at the mixer's rate for the given frames at the file's rate.
size_t outputFrames(size_t sourceFrames, long rate) {
    return static_cast<size_t>(static_cast<double>(sourceFrames) * MIX_RATE / rate);
}

} // namespace

SoundDecoder::~SoundDecoder() {
    if (opened_) ov_clear(&file_);
}

bool SoundDecoder::open(const std::string& path, std::string& error) {
    if (ov_fopen(path.c_str(), &file_) != 0) {
        error = "cannot read " + path + " as Ogg Vorbis";
        return false;
    }
    opened_ = true;
    const vorbis_info* info = ov_info(&file_, -1);
    channels_ = info ? info->channels : 0;
    rate_ = info ? info->rate : 0;
    const ogg_int64_t total = ov_pcm_total(&file_, -1);
    // The buffer is sized from the length in the last page; a damaged one claiming more than
    // an hour must not ask for gigabytes.
    if (channels_ <= 0 || rate_ <= 0 || total < 0 || total > MAX_SECONDS * rate_) {
        error = path + " is damaged";
        return false;
    }
    sourceFrames_ = static_cast<size_t>(total);
    const size_t frames = outputFrames(sourceFrames_, rate_);
    sound_.samples = std::make_unique_for_overwrite<int16_t[]>(frames * 2);
    sound_.length.store(frames);
    if (rate_ != MIX_RATE) source_.resize(sourceFrames_ * 2);
    return true;
}

bool SoundDecoder::step() {
    if (sound_.complete.load(std::memory_order_relaxed)) return false;
    if (sound_.cancel.load(std::memory_order_relaxed)) return false;
    alignas(int16_t) char buffer[8192];
    int section = 0;
    for (;;) {
        const long bytes = ov_read(&file_, buffer, sizeof buffer, 0, 2, 1, &section);
        if (bytes == OV_HOLE) continue; // a gap in the data: carry on after it
        if (bytes <= 0) {
            damaged_ = bytes < 0;
            finish();
            return false;
        }
        const size_t frames = static_cast<size_t>(bytes) / 2 / static_cast<size_t>(channels_);
        append(reinterpret_cast<const int16_t*>(buffer), frames);
        return true;
    }
}

void SoundDecoder::append(const int16_t* interleaved, size_t frames) {
    // Anything beyond the length the header promised has no room and is dropped.
    frames = std::min(frames, sourceFrames_ - sourceDecoded_);
    const bool direct = rate_ == MIX_RATE;
    int16_t* out = (direct ? sound_.samples.get() : source_.data()) + sourceDecoded_ * 2;
    const int right = channels_ > 1 ? 1 : 0;
    for (size_t f = 0; f < frames; ++f) {
        out[f * 2] = interleaved[f * channels_];
        out[f * 2 + 1] = interleaved[f * channels_ + right];
    }
    sourceDecoded_ += frames;
    if (direct) {
        produced_ = sourceDecoded_;
    } else {
        resampleReady();
    }
    sound_.decoded.store(produced_, std::memory_order_release);
}

// Writes every output frame whose two source frames have been decoded.
void SoundDecoder::resampleReady() {
    const size_t frames = sound_.length.load(std::memory_order_relaxed);
    while (produced_ < frames) {
        const double at = static_cast<double>(produced_) * rate_ / MIX_RATE;
        const size_t i = static_cast<size_t>(at);
        const size_t next = std::min(i + 1, sourceFrames_ - 1);
        if (next >= sourceDecoded_) return;
        const double t = at - static_cast<double>(i);
        for (int side = 0; side < 2; ++side) {
            const double v = source_[i * 2 + side] * (1 - t) + source_[next * 2 + side] * t;
            sound_.samples[produced_ * 2 + side] = static_cast<int16_t>(std::lround(v));
        }
        ++produced_;
    }
}

void SoundDecoder::finish() {
    if (sourceDecoded_ < sourceFrames_) {
        // The file ended early: the sound ends where its data does.
        sourceFrames_ = sourceDecoded_;
        const size_t frames = std::clamp(outputFrames(sourceFrames_, rate_), produced_,
                                         sound_.length.load(std::memory_order_relaxed));
        sound_.length.store(frames);
    }
    if (rate_ != MIX_RATE) resampleReady();
    source_ = {};
    sound_.decoded.store(produced_, std::memory_order_release);
    sound_.complete.store(true, std::memory_order_release);
}
