// Keyboard helpers of the result screens.
#pragma once
#include <string>

// The one-character string of a character a player may type into a name, or "nope".
std::string keychar(int code);
// Forgets typed characters and the presses of the keys the screens react to, so a key
// pressed during a result screen does not act on what comes after it. Held keys stay held.
void drainkeys();
