#include "match/routines.h"
#include "runtime/keyboard.h"
#include "runtime/runtime.h"

void checkclose() {
    if (CloseRequested() == 1) EndProgram(0);
}

void startmusic(const std::array<TSound, 4>& sounds, const TChannel& channel, float volume) {
    CueSound(sounds[0], channel);
    SetChannelVolume(channel, volume);
    ResumeChannel(channel);
}

void restartmusic(const TChannel& channel, const std::array<TSound, 4>& sounds, float volume) {
    if (channel && ChannelPlaying(channel) == 0) startmusic(sounds, channel, volume);
}

void stopmusic(const TChannel& channel) {
    if (channel) StopChannel(channel);
}
