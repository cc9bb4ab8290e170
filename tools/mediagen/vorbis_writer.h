// Encodes a stereo buffer as Ogg Vorbis with libvorbisenc (variable bit rate, quality 0.3).
#pragma once
#include "synth.h"
#include <string>

// False, with a message on stderr, when encoding or writing fails.
bool writeOggVorbis(const std::string& path, const StereoBuffer& sound);
