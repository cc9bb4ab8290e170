// Computer players. A computer figure reacts like a person with slow reflexes: it looks at
// where the ball and it itself were aidelay frames ago, extrapolates both by the same number
// of frames and pushes in the one of eight directions nearest to that point.
#include "match/match.h"
#include "physics/arctan.h"
#include "physics/constants.h"
#include "physics/geometry.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/random.h"
#include <algorithm>
#include <cmath>

namespace {

// A ball nobody has touched for this many frames is chased on current data, so a computer
// figure never circles a resting ball forever.
constexpr int IDLELIMIT = 240;

struct Heading {
    int last; // highest whole degree of the sector
    int direction;
    float pushx, pushy; // in units of speed
};

// The sectors are deliberately unequal; up takes 0..14 and 338..359.
constexpr Heading headings[9] = {
    {14, 1, 0, -1},  {67, 2, 0.707f, -0.707f},  {111, 3, 1, 0},  {157, 4, 0.707f, 0.707f},
    {201, 5, 0, 1},  {247, 6, -0.707f, 0.707f}, {291, 7, -1, 0}, {337, 8, -0.707f, -0.707f},
    {359, 1, 0, -1},
};

} // namespace

int aisector(int heading) {
    for (const Heading& h : headings) {
        if (heading <= h.last) return h.direction;
    }
    return 1;
}

void retarget(Tman& m, int count, RandomGenerator& random) {
    if (RandomInt(random, 0, 1000) > 990) m.target = RandomInt(random, 0, count - 1);
}

void aisteer(Tman& m, Tmainball& b) {
    m.record();
    // Whatever the settings held, the delay stays inside the histories.
    int d = b.idle < IDLELIMIT ? std::clamp(m.aidelay, 0, HISTORY - 1) : 0;
    // The computer works in single precision, as its reflexes need no more.
    float bx = float(b.histx[d]), by = float(b.histy[d]);
    float bvx = float(b.histvx[d]), bvy = float(b.histvy[d]);
    float mx = float(m.histx[d]), my = float(m.histy[d]);
    float mvx = float(m.histvx[d]), mvy = float(m.histvy[d]);
    float fd = float(d);
    float dx = bx + fd * (bvx - mvx) - mx;
    float dy = by + fd * (bvy - mvy) - my;
    // The quarter turn is added to the angle in degrees before it goes down to single
    // precision: rounding twice could tip a heading over a sector bound.
    double angle = arctan2(double(dy), double(dx)) * (180.0 / 3.14159265358979323846);
    int heading = int(wrap360(float(angle + 90)));
    int sector = aisector(heading);
    m.direction = sector;
    for (const Heading& h : headings) {
        if (h.direction == sector) {
            Tball& first = *m.balls.front();
            first.vx += h.pushx * m.speed;
            first.vy += h.pushy * m.speed;
            return;
        }
    }
}
