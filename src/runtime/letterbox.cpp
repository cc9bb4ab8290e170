// Letterboxing of the game surface into the window's drawable area.
#include "runtime/letterbox.h"
#include <algorithm>

Viewport Letterbox(int windowWidth, int windowHeight, int gameWidth, int gameHeight) {
    if (gameWidth <= 0 || gameHeight <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return {0, 0, windowWidth, windowHeight};
    Viewport v;
    // Compare the two aspect ratios in integers so that an exact fit stays exact.
    if (static_cast<long long>(windowWidth) * gameHeight <=
        static_cast<long long>(windowHeight) * gameWidth) {
        v.width = windowWidth;
        v.height = static_cast<int>(static_cast<long long>(windowWidth) * gameHeight / gameWidth);
    } else {
        v.height = windowHeight;
        v.width = static_cast<int>(static_cast<long long>(windowHeight) * gameWidth / gameHeight);
    }
    v.x = (windowWidth - v.width) / 2;
    v.y = (windowHeight - v.height) / 2;
    return v;
}

int WindowMultiple(int desktopWidth, int desktopHeight, int gameWidth, int gameHeight) {
    if (gameWidth <= 0 || gameHeight <= 0) return 1;
    return std::max(1, std::min(desktopWidth / gameWidth, desktopHeight / gameHeight));
}
