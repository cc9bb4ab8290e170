// PNG reading and writing with libpng, shared by image loading, screenshots and the media
// generator.
#pragma once
#include "renderer.h"
#include <string>

// Decodes any PNG into RGBA. hasAlpha tells whether the file carried an alpha channel (or a
// transparency chunk). False, with a one-line message naming the file in error, when the file
// is missing, not a regular file, damaged, or claims more than 8192 pixels on a side.
bool ReadPng(const std::string& path, Pixels& out, bool& hasAlpha, std::string& error);
// Writes the pixels as RGBA, or as RGB without the alpha bytes when withAlpha is false;
// false on failure.
bool WritePng(const std::string& path, const Pixels& pixels, bool withAlpha = true);
