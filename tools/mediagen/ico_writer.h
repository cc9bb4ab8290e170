// Writes a Windows icon file holding PNG pictures as they are (which Windows reads since Vista):
// the icon of the Windows game's executable, made from the desktop icons.
#pragma once
#include <string>
#include <vector>

struct IcoPicture {
    std::string pngPath; // a square PNG written before
    int size;            // its side in pixels, at most 256
};

// False, with a message on stderr, when a picture cannot be read or the file written.
bool writeIco(const std::string& path, const std::vector<IcoPicture>& pictures);
