// Where the game's surface lands in a window of another size: scaled up as far as it fits,
// keeping its 4:3 shape, and centred with black bars on the two free sides. In a window of
// the game's own size this is the whole window.
#pragma once

struct Viewport {
    int x = 0, y = 0, width = 0, height = 0; // from the window's bottom-left, as GL counts
};

Viewport Letterbox(int windowWidth, int windowHeight, int gameWidth, int gameHeight);

// How many times the game's size a new window is: the largest whole multiple that fits the
// desktop's free area, and at least 1 (a desktop smaller than the game still gets the game's
// size and the window manager fits it as it can).
int WindowMultiple(int desktopWidth, int desktopHeight, int gameWidth, int gameHeight);
