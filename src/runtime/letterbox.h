// Where the game's surface lands in a window of another size: scaled up as far as it fits,
// keeping its 4:3 shape, and centred with black bars on the two free sides. In a window of
// the game's own size this is the whole window.
#pragma once

struct Viewport {
    int x = 0, y = 0, width = 0, height = 0; // from the window's bottom-left, as GL counts
};

Viewport Letterbox(int windowWidth, int windowHeight, int gameWidth, int gameHeight);
