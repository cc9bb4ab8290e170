#include "physics/geometry.h"
#include "physics/constants.h"
#include <cmath>

Vec2 footpoint(double px, double py, double ax, double ay, double bx, double by) {
    double s = guard(by - ay) / guard(bx - ax);
    double o = (ay - py) - (ax - px) * s;
    double v = -o / (s + 1 / s);
    return {px + v, py + o + s * v};
}

// The offset along y is (ax - px) * hy / hx, multiplied before it is divided: the contact
// tests depend on the exact bits of this distance.
double linedistance(double px, double py, double ax, double ay, double bx, double by) {
    double hx = guard(bx - ax), hy = guard(by - ay);
    double s = hy / hx;
    return std::fabs((ax - px) * hy / hx - (ay - py)) / std::sqrt(s * s + 1);
}

// Whole turns are taken off one at a time so that angles near the range keep the exact
// single-precision result; far-off angles (only from damaged data) are first reduced in one
// go so the loops always end. NaN passes through untouched.
static float nearturn(float degrees) {
    return std::fabs(degrees) > 1.0e6f ? std::fmod(degrees, 360.0f) : degrees;
}

float wrap360(float degrees) {
    degrees = nearturn(degrees);
    while (degrees < 0.0f) degrees += 360.0f;
    while (degrees >= 360.0f) degrees -= 360.0f;
    return degrees;
}

float wrap180(float degrees) {
    degrees = nearturn(degrees);
    while (degrees < -180.0f) degrees += 360.0f;
    while (degrees > 180.0f) degrees -= 360.0f;
    return degrees;
}
