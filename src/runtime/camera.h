// The view a game is drawn through: the world point at the centre of the screen, the zoom
// (screen pixels per world unit) and the screen size. World x grows to the right and y
// downward, as on the screen; one world unit is one pixel at zoom 1.
#pragma once

struct Vec2 {
    double x = 0, y = 0;
};

// (w - cam) * zoom + size / 2: where world coordinate w lands on a screen of that size.
inline double toscreen(double w, double cam, double zoom, double size) {
    return (w - cam) * zoom + size / 2;
}

struct Camera {
    double x = 0, y = 0;
    double zoom = 1;
    double screenw = 0, screenh = 0;

    bool operator==(const Camera&) const = default;

    // The screen point of a world point.
    Vec2 onscreen(double wx, double wy) const {
        return {toscreen(wx, x, zoom, screenw), toscreen(wy, y, zoom, screenh)};
    }
};
