// The demo's input script: screenshots to shots/ and the key that confirms result screens.
#pragma once
#include <string>

// The script text for a demo of the given number of frames (-1: no limit).
std::string demoscript(long frames);
// Makes the shots/ folder in the game folder and writes the script there; returns its path,
// empty when it could not be written.
std::string writedemoscript(long frames);
