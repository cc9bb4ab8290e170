// Name entry of the game-over screen.
#pragma once
#include <string>

// The one-character string of a character a player may type into a name, or "nope".
std::string keychar(int code);