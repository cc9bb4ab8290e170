// Writes a canvas as an 8-bit RGBA PNG with libpng.
#pragma once
#include "canvas.h"
#include <string>

// False, with a message on stderr, when the file cannot be written.
bool writePng(const std::string& path, const Canvas& canvas);
