// Small geometry helpers shared by the solvers, the contacts and the drawing: the divisor
// guard, the world-to-screen mapping, foot points and distances to lines, angle wraps.
#pragma once
#include "physics/constants.h"

struct Vec2 {
    double x = 0, y = 0;
};

// What the drawing code needs to place a world point on the screen: the world point at the
// screen centre, the zoom and the screen size in pixels.
struct Camera {
    double x = 0, y = 0;
    double zoom = 1;
    double screenw = 0, screenh = 0;
};

// A value safe to divide by: magnitudes below GUARD become +GUARD.
inline double guard(double value) {
    return value < GUARD && value > -GUARD ? GUARD : value;
}
// (w - cam) * zoom + size / 2.
double toscreen(double w, double cam, double zoom, double size);
// Foot of the perpendicular from P onto the infinite line through A and B.
Vec2 footpoint(double px, double py, double ax, double ay, double bx, double by);
// Distance from P to the infinite line through A and B.
double linedistance(double px, double py, double ax, double ay, double bx, double by);
// Angles in single precision, brought into 0 <= a < 360 and -180 <= a <= 180 by whole turns.
float wrap360(float degrees);
float wrap180(float degrees);
