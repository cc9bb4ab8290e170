#include "physics/collide.h"
#include "physics/constants.h"
#include "physics/ragobject.h"
#include <algorithm>
#include <cmath>

// The push-apart loop of a ball against a link normally ends after one or two rounds; this
// bound only matters for absurd mass ratios, where each round gains almost nothing.
static constexpr int PUSHROUNDS = 1000;

static double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

// Speed at which a and b approach each other; 0 when they move apart.
static double closingspeed(const Tball& a, const Tball& b) {
    double rvx = b.vx - a.vx, rvy = b.vy - a.vy;
    return rvx * (b.x - a.x) + rvy * (b.y - a.y) <= 0 ? length(rvx, rvy) : 0;
}

static double square(double v) {
    return v * v;
}

// Most pairs tested in a frame are far apart. This cheap test, on squared distances and
// without roots, throws out only pairs the exact test would throw out too (its margin covers
// the rounding and the divisor guard), so results are the same, only sooner.
static bool faraway(double gapsquared, double reachsquared) {
    return gapsquared > reachsquared * 1.01 + 1.0;
}

static double relspeedsquared(const Tball& a, const Tball& b) {
    return square(b.vx - a.vx) + square(b.vy - a.vy);
}

// The reach of a contact grows with the closing speed, so fast balls are caught one step
// early instead of passing through each other.
int collideballs(Tball& a, Tball& b, double kick) {
    double dx = b.x - a.x, dy = b.y - a.y;
    if (faraway(dx * dx + dy * dy, std::max(square(a.radius + b.radius), relspeedsquared(a, b))))
        return 0;
    double dist = length(dx, dy);
    double rvx = b.vx - a.vx, rvy = b.vy - a.vy;
    double reach = std::max(a.radius + b.radius, closingspeed(a, b));
    if (dist >= reach) return 0;
    dist = guard(dist);
    dx = guard(dx);
    dy = guard(dy);
    double s = guard(dy / dx);
    double ix, iy;
    if (kick > 0) {
        ix = kick * dx / dist;
        iy = kick * dy / dist;
    } else {
        ix = -(rvy + rvx / s) / (s + 1 / s);
        iy = ix * s;
    }
    double push = reach + SEPARATION - dist;
    double m = a.mass + b.mass;
    b.x += push * dx / dist * a.mass / m;
    b.y += push * dy / dist * a.mass / m;
    a.x -= push * dx / dist * b.mass / m;
    a.y -= push * dy / dist * b.mass / m;
    b.vx += ix * BOUNCE * 2.0 * a.mass / m;
    b.vy += iy * BOUNCE * 2.0 * a.mass / m;
    a.vx -= ix * BOUNCE * 2.0 * b.mass / m;
    a.vy -= iy * BOUNCE * 2.0 * b.mass / m;
    return 1;
}

// True when the ball's foot point on the link's line falls strictly between its ends.
static bool beside(const Tball& b, const Tball& p, const Tball& q) {
    double k = -guard(q.x - p.x) / guard(q.y - p.y);
    double sp = (b.y - p.y) - k * (b.x - p.x);
    double sq = (b.y - q.y) - k * (b.x - q.x);
    return (sp > 0 && sq < 0) || (sp < 0 && sq > 0);
}

static double segdistance(const Tball& b, const Tball& p, const Tball& q) {
    return linedistance(b.x, b.y, p.x, p.y, q.x, q.y);
}

// Squared distance from the ball to the box around the link.
static double boxgapsquared(const Tball& b, const Tball& p, const Tball& q) {
    double gx = std::max({std::min(p.x, q.x) - b.x, b.x - std::max(p.x, q.x), 0.0});
    double gy = std::max({std::min(p.y, q.y) - b.y, b.y - std::max(p.y, q.y), 0.0});
    return gx * gx + gy * gy;
}

int collidelink(Tball& b, Tlink& link, double kick) {
    Tball& p = *link.ball1;
    Tball& q = *link.ball2;
    double reachsquared =
        std::max({square(b.radius + link.thickness), relspeedsquared(b, p), relspeedsquared(b, q)});
    if (faraway(boxgapsquared(b, p, q), reachsquared)) return 0;
    double closing = std::max(closingspeed(b, p), closingspeed(b, q));
    double lx = guard(q.x - p.x), ly = guard(q.y - p.y);
    if (!beside(b, p, q)) return 0;
    double touch = std::max(b.radius + link.thickness, closing);
    if (segdistance(b, p, q) >= touch) return 0;

    Vec2 f = footpoint(b.x, b.y, p.x, p.y, q.x, q.y);
    double dp = length(f.x - p.x, f.y - p.y);
    double dq = length(f.x - q.x, f.y - q.y);
    double db = length(f.x - b.x, f.y - b.y);
    double span = dp + dq;
    // A ball centred on the link's line, or a link folded onto a point, gives no direction
    // to push along: that contact is left out rather than filling the bodies with NaN.
    if (db < GUARD || span < GUARD) return 0;

    double wp = dp * p.mass, wq = dq * q.mass, w = wp + wq;
    double vfx = (p.vx * dp + q.vx * dq) / span;
    double vfy = (p.vy * dp + q.vy * dq) / span;
    double m = ly / lx;
    double rx = vfx - b.vx, ry = vfy - b.vy;
    double ix = (rx * m - ry) / (m + 1 / m);
    double iy = -ix / m;
    if (b.elastic == 0) {
        Vec2 slide = footpoint(b.vx - vfx, b.vy - vfy, 0, 0, lx, ly);
        ix -= LINKFRICTION * slide.x;
        iy -= LINKFRICTION * slide.y;
    }
    if (kick > 0) {
        ix = kick * (b.x - f.x) / db;
        iy = kick * (b.y - f.y) / db;
    }
    // The link weighs twice its lighter end; each end answers for the part of the link on
    // the far side of the foot point.
    double mm = 2.0 * std::min(p.mass, q.mass);
    double total = mm + b.mass;
    b.vx += ix * 2.0 * mm / total * BOUNCE;
    b.vy += iy * 2.0 * mm / total * BOUNCE;
    p.vx -= ix * (wq / w) * 2.0 * b.mass / total * BOUNCE;
    p.vy -= iy * (wq / w) * 2.0 * b.mass / total * BOUNCE;
    q.vx -= ix * (wp / w) * 2.0 * b.mass / total * BOUNCE;
    q.vy -= iy * (wp / w) * 2.0 * b.mass / total * BOUNCE;

    double out = std::max(b.radius + link.thickness + SEPARATION, closing);
    double cx = (f.x + out * (b.x - f.x) / db - b.x) / 2;
    double cy = (f.y + out * (b.y - f.y) / db - b.y) / 2;
    for (int round = 0; round < PUSHROUNDS; ++round) {
        p.x -= cx * (wq / w) * 2.0 * b.mass / total;
        p.y -= cy * (wq / w) * 2.0 * b.mass / total;
        q.x -= cx * (wp / w) * 2.0 * b.mass / total;
        q.y -= cy * (wp / w) * 2.0 * b.mass / total;
        b.x += cx * 2.0 * mm / total;
        b.y += cy * 2.0 * mm / total;
        if (segdistance(b, p, q) > touch || !beside(b, p, q)) break;
    }
    return 1;
}

namespace {

// A box around some ball centres with the largest radius, speed and link thickness among
// them: enough to tell that nothing inside can touch something far away.
struct Extent {
    double minx = HUGE_VAL, maxx = -HUGE_VAL, miny = HUGE_VAL, maxy = -HUGE_VAL;
    double radius = 0, speed = 0, thickness = 0;

    void add(const Tball& b) {
        minx = std::min(minx, b.x), maxx = std::max(maxx, b.x);
        miny = std::min(miny, b.y), maxy = std::max(maxy, b.y);
        radius = std::max(radius, b.radius);
        // |vx| + |vy| is never below the speed and needs no root.
        speed = std::max(speed, std::fabs(b.vx) + std::fabs(b.vy));
    }
    double gapsquared(const Extent& o) const {
        double gx = std::max({o.minx - maxx, minx - o.maxx, 0.0});
        double gy = std::max({o.miny - maxy, miny - o.maxy, 0.0});
        return gx * gx + gy * gy;
    }
    // A quicker, looser form of apart for a single ball: a gap along either axis beyond the
    // reach is enough, and it also stays on the safe side of the exact test.
    bool apartalongaxes(const Tball& b) const {
        double reach =
            std::max(radius + b.radius + thickness, speed + std::fabs(b.vx) + std::fabs(b.vy));
        reach = reach * 1.01 + 1.0;
        return b.x < minx - reach || b.x > maxx + reach || b.y < miny - reach || b.y > maxy + reach;
    }
    // Whether anything of this extent could reach the other within this frame's contacts.
    bool apart(const Extent& o) const {
        double reach =
            std::max(radius + o.radius + std::max(thickness, o.thickness), speed + o.speed);
        return faraway(gapsquared(o), reach * reach);
    }
};

Extent extentof(const ragobject& body) {
    Extent e;
    for (auto& b : body.balls) e.add(*b);
    for (auto& l : body.links) e.thickness = std::max(e.thickness, l.thickness);
    return e;
}

Extent extentof(const Tlink& link) {
    Extent e;
    e.add(*link.ball1);
    e.add(*link.ball2);
    e.radius = 0; // a ball touches the link's bar, whatever the size of its ends
    e.thickness = link.thickness;
    return e;
}

// One link against every ball of the other object. A contact moves the link, so its extent
// is taken again after each one.
int linkpass(Tlink& link, ragobject& other, double kick) {
    int hit = 0;
    Extent reach = extentof(link);
    for (auto& b : other.balls) {
        if (reach.apartalongaxes(*b)) continue;
        if (collidelink(*b, link, kick)) {
            hit = 1;
            reach = extentof(link);
        }
    }
    return hit;
}

} // namespace

// No early exit: every contact between the two objects is resolved in every call. Objects
// too far apart for any contact are passed over as a whole, and far pairs inside the passes
// are thrown out early; neither changes a result.
int collideobjects(ragobject& first, ragobject& second, double kick) {
    if (extentof(first).apart(extentof(second))) return 0;
    int hit = 0;
    for (auto& l : first.links) hit |= linkpass(l, second, kick);
    for (auto& l : second.links) hit |= linkpass(l, first, kick);
    Extent reach = extentof(first);
    for (auto& a : second.balls) {
        if (reach.apartalongaxes(*a)) continue;
        int touched = 0;
        for (auto& b : first.balls) touched |= collideballs(*a, *b, kick);
        if (touched) reach = extentof(first);
        hit |= touched;
    }
    return hit;
}
