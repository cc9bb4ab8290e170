// The save files (prefs.txt, scores.txt, settings.txt), kept in the saves folder: read once at
// start-up, written so that a crash or a full disk never loses the old file, and never written
// at all in a run that could not read them, so a player's real file always survives a bad
// start.
// Depends on: runtime files and streams.
#pragma once
#include "runtime/stream.h"
#include <string>
#include <vector>

// Every file and folder the game saves, by name, in the saves folder (the current folder of
// the running game): the preferences, the high scores, the settings, the key bindings and the
// recorded replays. A first start in a new saves folder brings these along from the old one,
// so a save added to the game adds its name here.
inline constexpr const char* SAVEFILES[] = {"prefs.txt", "scores.txt", "settings.txt",
                                            "controls.txt", "replays"};

// A save file is never this large; a bigger one is not the game's and is left alone.
constexpr long long MAX_SAVE_FILE = 1 * MiB;

// What start-up found at a save file's name.
enum class SaveFound {
    Opened,     // readable: the stream is open
    Missing,    // nothing there (a first run): the caller writes its defaults
    Unreadable, // there but not readable: keep the defaults and never write the file this run
};

// Opens a save file for reading, after removing the temporary file a crashed save may have
// left beside it. An unreadable file is reported in one line on stderr, naming the file and
// the reason.
Stream opensave(const std::string& path, SaveFound& found);

// Reports, in the same one line, a save file whose reading broke off part way.
void reportunreadable(const std::string& path, const std::string& reason);

// Writes the lines, each ended by CR LF, in place of the file, whole or not at all (see
// ReplaceFileContents). False, with a line on stderr, when the file could not be written;
// the old file then stays as it was.
bool savelines(const std::string& path, const std::vector<std::string>& lines);
