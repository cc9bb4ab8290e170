// The software mixer behind sound.h. The audio device's callback (another thread) calls
// MixAudio; the game thread changes channels through sound.h. One mutex guards both sides.
#pragma once
#include <cstdint>
#include <mutex>
#include <vector>

struct TChannelData;

// The channels the audio callback mixes, and the one lock between the game thread and the
// callback. Every field of a channel is read and written under the lock only.
struct Mixer {
    std::mutex lock;
    std::vector<TChannelData*> channels;
    unsigned long long mixed = 0; // output frames mixed since the start
};

// Output format every decoded sound is converted to.
constexpr int MIX_RATE = 44100;
constexpr int MIX_CHANNELS = 2;

// Adds every playing channel, scaled by its volume, into the interleaved stereo buffer
// (frames samples per side), clipping to the 16-bit range and advancing the channels. The
// buffer must hold the device's current content (silence for a fresh callback buffer).
void MixAudio(Mixer& mixer, int16_t* stereo, int frames);
// The same into the runtime's mixer.
void MixAudio(int16_t* stereo, int frames);
// Output frames the runtime's mixer has produced so far: where in the output stream a sound
// played now will start (a callback or two later).
unsigned long long MixedFrames();
