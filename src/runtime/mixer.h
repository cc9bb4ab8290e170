// The software mixer behind sound.h. The audio device's callback (another thread) calls
// MixAudio; the game thread changes channels through sound.h. One mutex guards both sides.
#pragma once
#include <cstdint>

// Output format every decoded sound is converted to.
constexpr int MIX_RATE = 44100;
constexpr int MIX_CHANNELS = 2;

// Adds every playing channel, scaled by its volume, into the interleaved stereo buffer
// (frames samples per side), clipping to the 16-bit range and advancing the channels. The
// buffer must hold the device's current content (silence for a fresh callback buffer).
void MixAudio(int16_t* stereo, int frames);
