#include "physics/tension.h"
#include "physics/arctan.h"
#include "physics/ball.h"
#include "physics/constants.h"
#include <algorithm>
#include <cmath>
#include <numbers>

static double degrees(double radians) {
    return radians * (180.0 / std::numbers::pi);
}

// The outer balls are turned about the vertex, each perpendicular to its arm, and the vertex
// takes the opposite of both moves. The strength is capped by the arm lengths and the lightest
// mass so that a short or light limb cannot be flung about.
void Ttension::apply(double dt) {
    Tball& a = *ball1;
    Tball& b = *ball2;
    Tball& c = *ball3;
    if (!(strength > 10) || (a.fixed == 1 && b.fixed == 1 && c.fixed == 1)) return;
    double x1 = b.x - a.x, y1 = b.y - a.y;
    double x2 = c.x - b.x, y2 = c.y - b.y;
    double a1 = degrees(arctan2(y1, -x1));
    double a2 = degrees(arctan2(y2, -x2));
    float current = wrap360(float(a1 - a2 + 180));
    float err = wrap180(float(current - angle));
    double l1 = guard(x1 * x1 + y1 * y1);
    double l2 = guard(x2 * x2 + y2 * y2);
    double m = std::min({a.mass, b.mass, c.mass});
    double cap = std::min(TENSIONCAP * l1 * m, TENSIONCAP * l2 * m);
    double f = std::min(cap, strength) * (err / 400.0) * dt;
    // The turn of each outer ball, perpendicular to its arm; the vertex takes the opposite of
    // both (negating before or after the product and quotient gives the same bits).
    double turn1x = f * y1 / l1, turn1y = f * (-x1) / l1;
    double turn2x = f * y2 / l2, turn2y = f * (-x2) / l2;
    a.corrx += turn1x / a.mass;
    a.corry += turn1y / a.mass;
    c.corrx += turn2x / c.mass;
    c.corry += turn2y / c.mass;
    b.corrx += (-turn1x - turn2x) / b.mass;
    b.corry += (-turn1y - turn2y) / b.mass;
}
