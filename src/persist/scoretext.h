// The texts and timing of the high-score screen that do not depend on drawing.
#pragma once
#include "persist/scores.h"

#include <string>

// "n: name", with one extra space after a one-digit n so that the colons of entries 1-9 line
// up with those of 10-20.
std::string scorelabel(int n, const Tscore& entry);

// The table builds up from the top one line every five frames: entry n (from 1) is drawn from
// frame 5 n + 1 on (frames counted from 1).
bool scoreshown(int n, int frame);
