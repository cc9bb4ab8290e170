// Piecewise Ogg Vorbis decoding into a sound; see sound_decoder.h.
#include "runtime/sound_decoder.h"
#include "runtime/files.h"
#include "runtime/mixer.h"
#include <algorithm>
#include <cmath>

namespace {

constexpr ogg_int64_t MAX_SECONDS = 3600;
// From telephone quality to the highest studio rate: anything else is a damaged header.
constexpr long MIN_RATE = 8000, MAX_RATE = 192000;
// The game's music is a few megabytes; this only stops a device or a runaway file.
constexpr long long MAX_FILE_BYTES = 256 * MiB;

// Frames at the mixer's rate for the given frames at the file's rate.
size_t outputFrames(size_t sourceFrames, long rate) {
    return static_cast<size_t>(static_cast<double>(sourceFrames) * MIX_RATE / rate);
}

} // namespace

SoundDecoder::~SoundDecoder() {
    if (opened_) ov_clear(&file_);
}

bool SoundDecoder::open(const std::string& path, std::string& error) {
    FileProblem problem;
    File file = OpenRegularFile(path, MAX_FILE_BYTES, &problem);
    if (!file) {
        error = DescribeProblem(path, problem);
        return false;
    }
    // On success vorbisfile owns the file and closes it in ov_clear; on failure it is ours.
    if (ov_open_callbacks(file.get(), &file_, nullptr, 0, OV_CALLBACKS_DEFAULT) != 0) {
        error = path + " is not Ogg Vorbis";
        return false;
    }
    file.release();
    opened_ = true;
    const vorbis_info* info = ov_info(&file_, -1);
    channels_ = info ? info->channels : 0;
    rate_ = info ? info->rate : 0;
    if (rate_ < MIN_RATE || rate_ > MAX_RATE) {
        error = path + " has a sample rate of " + std::to_string(rate_) + " Hz, outside " +
                std::to_string(MIN_RATE) + " to " + std::to_string(MAX_RATE);
        return false;
    }
    const ogg_int64_t total = ov_pcm_total(&file_, -1);
    // The block table is sized from the length in the last page; a damaged one claiming more
    // than an hour is refused outright.
    if (channels_ <= 0 || total < 0 || total > MAX_SECONDS * rate_) {
        error = path + " is damaged";
        return false;
    }
    sourceFrames_ = static_cast<size_t>(total);
    sound_.reserve(outputFrames(sourceFrames_, rate_));
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

// Writes the next output frame into its block.
void SoundDecoder::put(const int16_t (&frame)[2]) {
    int16_t* out = sound_.blockForWriting(produced_) + produced_ % TSoundData::BLOCK_FRAMES * 2;
    out[0] = frame[0];
    out[1] = frame[1];
    ++produced_;
}

void SoundDecoder::append(const int16_t* interleaved, size_t frames) {
    // Anything beyond the length the header promised has no room and is dropped.
    frames = std::min(frames, sourceFrames_ - sourceDecoded_);
    const int right = channels_ > 1 ? 1 : 0;
    const bool direct = rate_ == MIX_RATE;
    for (size_t f = 0; f < frames; ++f) {
        const int16_t frame[2] = {interleaved[f * channels_], interleaved[f * channels_ + right]};
        if (direct) {
            put(frame);
        } else {
            window_.insert(window_.end(), frame, frame + 2);
        }
    }
    sourceDecoded_ += frames;
    if (!direct) resampleReady();
    sound_.decoded.store(produced_, std::memory_order_release);
}

// Writes every output frame whose two source frames have been decoded, then lets go of the
// source frames no later output frame needs: the window stays a packet long at most.
void SoundDecoder::resampleReady() {
    const size_t frames = sound_.length.load(std::memory_order_relaxed);
    size_t needed = sourceDecoded_; // first source frame still needed
    while (produced_ < frames) {
        const double at = static_cast<double>(produced_) * rate_ / MIX_RATE;
        const size_t i = static_cast<size_t>(at);
        const size_t next = std::min(i + 1, sourceFrames_ - 1);
        if (next >= sourceDecoded_ || i >= sourceDecoded_) {
            needed = std::min(i, sourceDecoded_);
            break;
        }
        const double t = at - static_cast<double>(i);
        const int16_t* a = &window_[(i - windowStart_) * 2];
        const int16_t* b = &window_[(next - windowStart_) * 2];
        int16_t frame[2];
        for (int side = 0; side < 2; ++side) {
            const double v = a[side] * (1 - t) + b[side] * t;
            frame[side] = static_cast<int16_t>(std::lround(v));
        }
        put(frame);
    }
    window_.erase(window_.begin(),
                  window_.begin() + static_cast<ptrdiff_t>((needed - windowStart_) * 2));
    windowStart_ = needed;
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
    window_ = {};
    sound_.decoded.store(produced_, std::memory_order_release);
    sound_.complete.store(true, std::memory_order_release);
}
