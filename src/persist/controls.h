// The players' bindings, kept in "controls.txt" beside the other save files (prefs.txt keeps
// its six lines): one binding a line, "player2.up=key 87" or "player2.up=pad x", and
// "rumble=1". Written with the same whole-or-nothing save as the other files.
// Depends on: runtime controls, streams and text conversion.
#pragma once
#include "runtime/controls.h"

// What reading controls.txt found.
enum class ControlsRead {
    Read,       // the file's bindings
    Defaults,   // none, or a damaged one (said on stderr): the default bindings
    Unreadable, // there but not readable: the defaults, and never write it during this run
};

// Reads controls.txt into controls. A file with a line that cannot be read, or with one key
// bound twice, is damaged and gives the defaults as a whole: half a set of bindings could
// leave a player without a key.
ControlsRead loadcontrols(Controls& controls);
// Writes every binding; false when the file could not be written.
bool savecontrols(const Controls& controls);
