// Where the game finds its media and where it keeps its saves.
//
// A game started from a folder that holds media/ (the build folder, a portable copy), or whose
// executable sits beside media/, is that game folder: media and saves together, as always. An
// installed game finds its media from its executable, in ../share/vantorix/media, and keeps its
// saves in the player's own data folder ($XDG_DATA_HOME/vantorix/, else
// ~/.local/share/vantorix/); so does a game whose folder it may not write. The saves folder
// becomes the program's current folder, so every save file, present or future, is opened by
// its plain name and lands there with no further work.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct GameFolders {
    std::filesystem::path media;
    // Where the saves live; empty: the player's own data folder (found when it is entered).
    std::filesystem::path saves;
    // Where the saves were kept before they moved to the player's data folder: the first start
    // there copies them over. Empty when the saves stay in the game folder.
    std::filesystem::path old;
};

// The folders for a game started in `current` from the executable `executable`; `writable`
// says whether the game may write a folder.
GameFolders findgamefolders(const std::filesystem::path& current,
                            const std::filesystem::path& executable,
                            const std::function<bool(const std::filesystem::path&)>& writable);
// The same for this process.
GameFolders findgamefolders();

// Copies every save file of the old folder that the saves folder lacks (never overwriting),
// and returns the names copied: plain files only, never through a link, and of replays/ the
// newest replays the game named itself. Problems are said in one line each on stderr.
std::vector<std::string> bringsaves(const std::filesystem::path& old,
                                    const std::filesystem::path& saves);

// Tells the runtime where the media are (as "media" when they are in the saves folder) and
// makes the saves folder the current folder: the player's data folder is created on first
// use, the old saves copied into it when it is new and empty. False, with a line on stderr,
// when no saves folder can be entered: the game then plays on from where it was started.
bool entergamefolders(GameFolders& folders);
