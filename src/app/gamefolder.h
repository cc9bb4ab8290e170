// The game folder: where media/, prefs.txt and scores.txt live.
#pragma once
#include <string>

// The current directory when it holds media/, otherwise the folder of the executable.
std::string findgamefolder();
