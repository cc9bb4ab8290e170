// Pictures of the back buffer: scripted "shot" events and the F12 key.
#pragma once
#include <string>

// Writes the current back buffer (drawing flushed, not yet shown) as a PNG: the game's picture
// at the game's size, or with window set the whole window as shown. False with a line on
// stderr when there is no picture to take or the file cannot be written.
bool SaveScreenshot(const std::string& path, bool window = false);
// The first "screenshot-NNN.png" (001, 002, ..., 999, 1000, ...) not yet present in the folder.
std::string NextScreenshotName(const std::string& folder);
