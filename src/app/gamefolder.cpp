// Finding the game folder, so the game starts the same from a desktop launcher, a terminal in
// its folder or a test's temporary folder that holds a media/ link.
#include "app/gamefolder.h"
#include <filesystem>

std::string findgamefolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (!ec && fs::is_directory(here / "media", ec)) return here.string();
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path().string();
    return here.string();
}
