// The players' bindings, kept in "controls.txt" beside the other save files (prefs.txt keeps
// its six lines): one binding a line, "player2.up=key 87" or "player2.up=pad x", and
// "rumble=1". Written with the same whole-or-nothing save as the other files, and only when
// the player changed something, so a file the game reads only in part is never lost.
// Depends on: runtime controls, streams and text conversion.
#pragma once
#include "runtime/controls.h"

#include <string>
#include <vector>

// What reading controls.txt found.
enum class ControlsRead {
    Read,       // the file's bindings (every line the game could use)
    Defaults,   // no file: the default bindings
    Unreadable, // there but not readable: the defaults, and never write it during this run
};

// The bindings as read, and the lines of the file this game does not know (a later version's,
// say), which a rewrite keeps.
struct ControlsFile {
    Controls controls = DefaultControls();
    std::vector<std::string> unknown;
};

// Reads controls.txt over the defaults, line by line: every line the CONTROLS screen could have
// written is used; the others (unknown names, a key bound twice, Escape or F12 on a direction,
// a binding removed where the game needs one) are said on stderr in one line and leave that
// binding at its default.
ControlsRead loadcontrols(ControlsFile& file);
// Writes every binding, then the unknown lines as they were; false when it could not be
// written.
bool savecontrols(const ControlsFile& file);
