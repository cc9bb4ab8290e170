// Small geometry helpers shared by the solvers, the contacts and the drawing: the divisor
// guard, foot points and distances to lines, angle wraps (the camera is the runtime's).
#pragma once
#include "physics/constants.h"
#include "runtime/camera.h"

// A value safe to divide by: magnitudes below GUARD become +GUARD.
inline double guard(double value) {
    return value < GUARD && value > -GUARD ? GUARD : value;
}
// Foot of the perpendicular from P onto the infinite line through A and B.
Vec2 footpoint(double px, double py, double ax, double ay, double bx, double by);
// Distance from P to the infinite line through A and B.
double linedistance(double px, double py, double ax, double ay, double bx, double by);
// Angles in single precision, brought into 0 <= a < 360 and -180 <= a <= 180 by whole turns.
float wrap360(float degrees);
float wrap180(float degrees);
