// The game's logo (logo.png, 205 x 275): a ragdoll figure kicking the football on a dark
// badge, with the name VANTORIX set in the game's font underneath.
#pragma once
#include "canvas.h"
#include <optional>
#include <string>

// Empty when the font cannot be read.
std::optional<Canvas> makeLogo(const std::string& fontPath);
