// Decodes an Ogg Vorbis file into a sound's blocks one packet at a time, converting to the
// mixer's format (16-bit stereo at MIX_RATE) as it goes: mono is doubled to both sides, beyond
// two channels the first two are kept, and other rates are resampled by linear interpolation
// between neighbouring source frames. Each step publishes the frames it finished, so a sound
// can play while the rest of it is still being decoded. Memory follows what has really been
// decoded: the blocks come as they fill, and resampling keeps only the source frames that
// output frames still to come need.
#pragma once
#include "runtime/sound_data.h"
#include <string>
#include <vector>
#include <vorbis/vorbisfile.h>

class SoundDecoder {
  public:
    explicit SoundDecoder(TSoundData& sound) : sound_(sound) {}
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;
    ~SoundDecoder();

    // Reads the headers and sizes the sound's block table; false, with a one-line reason
    // naming the file in error, when the file is missing, not a regular file, not Ogg Vorbis,
    // or its header is out of bounds (sample rate, length).
    bool open(const std::string& path, std::string& error);
    // Decodes the next packet into the sound; false once the sound is complete, damaged or
    // cancelled.
    bool step();
    // The data broke off with an error (the sound completes with what came before).
    bool damaged() const { return damaged_; }

  private:
    void append(const int16_t* interleaved, size_t frames);
    void put(const int16_t (&frame)[2]);
    void resampleReady();
    void finish();

    TSoundData& sound_;
    OggVorbis_File file_{};
    bool opened_ = false, damaged_ = false;
    int channels_ = 0;
    long rate_ = 0;
    size_t sourceFrames_ = 0;     // frames the header promises, at the file's rate
    size_t sourceDecoded_ = 0;    // frames decoded so far, at the file's rate
    std::vector<int16_t> window_; // stereo source frames from windowStart_ on, when resampling
    size_t windowStart_ = 0;
    size_t produced_ = 0; // frames written to the sound
};
