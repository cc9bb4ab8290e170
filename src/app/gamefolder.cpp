// Finding the game's media and its saves folder, so the game starts the same from a desktop
// launcher, a terminal in its folder, an installed package or a test's temporary folder that
// holds a media/ link; see gamefolder.h.
#include "app/gamefolder.h"
#include "app/replays.h"
#include "persist/savefile.h"
#include "runtime/files.h"
#include "runtime/folders.h"
#include <cstdio>

namespace fs = std::filesystem;

namespace {

bool isfolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool canwrite(const fs::path& folder) {
    return FolderWritable(TextFromPath(folder));
}

// The game keeps itself in a folder of this name, for its media under share/ and for the
// player's saves.
constexpr const char* gamename = "vantorix";

} // namespace

GameFolders findgamefolders(const fs::path& current, const fs::path& executable,
                            const std::function<bool(const fs::path&)>& writable) {
    const fs::path exefolder = executable.parent_path();
    fs::path game = exefolder;
    if (isfolder(current / "media")) {
        game = current;
    } else if (!isfolder(exefolder / "media")) {
        // Installed: bin/vantorix and share/vantorix/media under one prefix, wherever it is.
        const fs::path shared = exefolder / VANTORIX_INSTALLED_MEDIA;
        if (isfolder(shared)) return {shared.lexically_normal(), {}, exefolder};
    }
    if (writable(game)) return {game / "media", game, {}};
    return {game / "media", {}, game};
}

GameFolders findgamefolders() {
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    const fs::path exefolder = ExecutableFolder();
    const fs::path exe = (exefolder.empty() ? here : exefolder) / gamename;
    return findgamefolders(here, exe, canwrite);
}

namespace {

// A regular file itself, not a link to one (nor a folder, a FIFO...).
bool plainfile(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() == fs::file_type::regular;
}

// The newest replays the game kept there, as plain files, into a new replays folder.
void bringreplays(const fs::path& from, const fs::path& to, std::error_code& ec) {
    const std::vector<fs::path> replays = replayfiles(from);
    fs::create_directory(to, ec);
    const size_t skip = replays.size() > REPLAYSKEPT ? replays.size() - REPLAYSKEPT : 0;
    for (size_t i = skip; i < replays.size() && !ec; ++i)
        fs::copy_file(replays[i], to / replays[i].filename(), fs::copy_options::skip_existing, ec);
}

} // namespace

std::vector<std::string> bringsaves(const fs::path& old, const fs::path& saves) {
    std::vector<std::string> copied;
    for (const char* name : SAVEFILES) {
        const fs::path from = old / name, to = saves / name;
        std::error_code ec;
        // Only the game's own files, never through a link: a link there may name anything.
        const bool folder = name == std::string(REPLAYFOLDER);
        if ((!folder && !plainfile(from)) || fs::exists(fs::symlink_status(to, ec))) continue;
        if (folder) {
            if (fs::symlink_status(from, ec).type() != fs::file_type::directory) continue;
            bringreplays(from, to, ec);
        } else {
            fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
        }
        if (ec) {
            std::fprintf(stderr, "vantorix: could not copy %s to %s: %s\n",
                         TextFromPath(from).c_str(), TextFromPath(saves).c_str(),
                         ec.message().c_str());
        } else {
            copied.push_back(name);
        }
    }
    return copied;
}

bool entergamefolders(GameFolders& folders) {
    SetMediaFolder(TextFromPath(folders.media));
    std::error_code ec;
    if (folders.saves.empty()) {
        std::string error;
        const std::string mine = UserDataFolder(gamename, error);
        if (mine.empty()) {
            std::fprintf(stderr, "vantorix: no folder for the saves: %s\n", error.c_str());
            return false;
        }
        folders.saves = PathFromText(mine);
        // A new (empty) folder is the first start there: the saves of the old folder come
        // along once; later starts never look back.
        if (!folders.old.empty() && fs::is_empty(folders.saves, ec) && !ec)
            bringsaves(folders.old, folders.saves);
    }
    fs::current_path(folders.saves, ec);
    if (ec) {
        std::fprintf(stderr, "vantorix: cannot enter the saves folder %s: %s\n",
                     TextFromPath(folders.saves).c_str(), ec.message().c_str());
        return false;
    }
    // Media beside the saves are named as the player sees them there: "media/logo.png".
    if (folders.media == folders.saves / "media") SetMediaFolder("media");
    return true;
}
