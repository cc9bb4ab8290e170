// Saving through a temporary file: at every moment the game folder holds either the complete
// old file or the complete new one, whenever the program is stopped.
#include "persist/savefile.h"

#include "runtime/stream.h"

#include <cstdio>

bool savelines(const std::string& path, const std::vector<std::string>& lines) {
    const std::string temp = path + ".tmp";
    Stream out = OpenWrite(temp);
    if (!out && CreateEmptyFile(temp)) out = OpenWrite(temp);
    if (!out) return false;

    bool written = true;
    for (const std::string& line : lines) {
        if (!WriteLine(*out, line)) {
            written = false;
            break;
        }
    }
    // CloseStream flushes to the disk, so the rename below never exposes a half-written file.
    written = CloseStream(out) && written;
    if (written && ReplaceFile(temp, path)) return true;
    std::remove(temp.c_str());
    return false;
}
