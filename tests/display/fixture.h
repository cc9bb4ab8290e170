// Matches for the display tests: a recording drawing surface, the game's media in a temporary
// game folder, and a match built by its set-up as a series driver would hand it over.
#pragma once
#include "drawcalls.h"
#include "match/match.h"
#include "runtime/renderer.h"
#include <memory>
#include <string>
#include <vector>

// A match of the mode ("levels" builds level 1, the others a custom game with these figures)
// at the screen size and with the TEAM COLOURS choice, its effect lists made as the frame loop
// makes them.
std::unique_ptr<Tmatch> makematch(const std::string& mode, int sw = 1024, int sh = 768,
                                  int figures = 2, int teamcolours = 0);
// Forgets what has been drawn so far.
void clearcalls();
// The images of one file.
std::vector<DrawCall> imagesof(const std::string& file);
// The texts drawn since the last clearcalls.
std::vector<std::string> texts();
