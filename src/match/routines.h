// Small shared routines of the frame loops: the window close request and the music track.
#pragma once
#include "runtime/sound.h"
#include <array>
#include <string>

// A close request of the window ends the program at once.
void checkclose();
// The figure file every player's figure is built from.
std::string figurefile();
void startmusic(const std::array<TSound, 4>& sounds, const TChannel& channel, float volume);
// The track does not loop: start it again whenever it has played to its end.
void restartmusic(const TChannel& channel, const std::array<TSound, 4>& sounds, float volume);
void stopmusic(const TChannel& channel);
