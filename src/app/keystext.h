// How a player's keys read on the help page and the multiplayer screen.
#pragma once
#include "runtime/controls.h"
#include <string>

// "ARROW KEYS" for player 1's arrows, else the four keys as up, left, down, right ("W,A,S,D");
// "" when a direction has no key.
std::string keystext(const Controls& c, int player);
