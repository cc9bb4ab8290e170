// The media folder and SDL's per-user data folder; see folders.h.
#include "runtime/folders.h"
#include "runtime/context.h"

namespace {

std::string WithoutSeparator(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

} // namespace

std::filesystem::path PathFromText(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string TextFromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void SetMediaFolder(const std::string& folder) {
    rt().mediaFolder = folder.empty() ? "media" : folder;
}

const std::string& MediaFolder() {
    return rt().mediaFolder;
}

std::string MediaPath(const std::string& name) {
    return rt().mediaFolder + "/" + name;
}

std::string UserDataFolder(const std::string& game, std::string& error) {
    // SDL follows the XDG rule and makes the folders (mode 0700) on the way; it needs no
    // initialised subsystem. An empty organisation leaves the game's folder directly under
    // the data home.
    char* path = SDL_GetPrefPath("", game.c_str());
    if (!path) {
        error = SDL_GetError();
        return "";
    }
    std::string folder = path;
    SDL_free(path);
    return WithoutSeparator(folder);
}
