// The two folders the game works with: where its media are read from, and SDL's per-user
// data folder, where an installed game (or one in a folder it may not write) keeps its saves.
// The saves themselves are opened by plain relative names: the program makes its saves folder
// the current one at start-up, so every save file lands there without knowing where that is.
#pragma once
#include <filesystem>
#include <string>

// A path from the game's text, which is UTF-8 on every system, and back. (std::filesystem takes
// a plain std::string in the system's own narrow encoding, which on Windows is not UTF-8.)
std::filesystem::path PathFromText(const std::string& utf8);
std::string TextFromPath(const std::filesystem::path& path);

// Media are read from this folder; "media" (in the current folder) until it is set.
void SetMediaFolder(const std::string& folder);
const std::string& MediaFolder();
// The path of one media file: "<media folder>/<name>".
std::string MediaPath(const std::string& name);

// The game's per-user data folder ($XDG_DATA_HOME/<game>/, else ~/.local/share/<game>/; on
// Windows %APPDATA%\<game>\),
// created when missing, without the final '/'. Empty, with the reason in error, when it can
// be neither found nor made.
std::string UserDataFolder(const std::string& game, std::string& error);
