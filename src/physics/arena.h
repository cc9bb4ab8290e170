// The arena boundary: a horizontal band between two walls closed by two half circles.
#pragma once

struct Tarena {
    double top = -1250;
    double bottom = 1250;
    double leftend = -2500; // x of the centre of the left half circle
    double rightend = 2500; // x of the centre of the right half circle
};
