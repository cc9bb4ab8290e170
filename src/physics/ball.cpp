#include "physics/ball.h"
#include "physics/arena.h"
#include "physics/constants.h"
#include <cmath>

Tball::Tball(RandomGenerator& random) {
    x = RandomInt(random, 0, 800);
    y = RandomInt(random, 0, 600);
    oldx = x;
    oldy = y;
}

// Gravity is a per-step push, so it is added before the move and not scaled by dt.
void Tball::integrate(double dt, double g) {
    vy += g;
    x += vx * dt;
    y += vy * dt;
}

void Tball::updatevelocity(double dt) {
    vx = (x - oldx) / dt;
    vy = (y - oldy) / dt;
}

// The round ends put the ball back on the circle and mirror only the radial part of its
// velocity, losing nothing; the straight walls leave a small gap and take a fifth of the
// bounce from balls that are not elastic.
void Tball::collidearena(const Tarena& arena) {
    double r = (arena.bottom - arena.top) / 2;
    double cy = (arena.top + arena.bottom) / 2;
    if (x > arena.rightend || x < arena.leftend) {
        double cx = x > arena.rightend ? arena.rightend : arena.leftend;
        double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        if (d <= r - radius) return;
        x = cx + (x - cx) * (r - radius) / d;
        y = cy + (y - cy) * (r - radius) / d;
        Vec2 radial = footpoint(vx, vy, 0, 0, x - cx, y - cy);
        vx -= 2.0 * radial.x;
        vy -= 2.0 * radial.y;
        return;
    }
    double keep = elastic == 1 ? 1.0 : WALLBOUNCE;
    if (y > arena.bottom - radius) {
        y = arena.bottom - radius - WALLMARGIN;
        vy = -keep * vy;
    } else if (y < arena.top + radius) {
        y = arena.top + radius + WALLMARGIN;
        vy = -keep * vy;
    }
}
