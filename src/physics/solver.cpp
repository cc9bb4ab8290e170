#include "physics/solver.h"
#include "physics/ball.h"
#include "physics/constants.h"
#include <cmath>

// Only part of the error is removed per pass, and each end moves by the other end's share of
// the total mass, so heavy balls (and fixed ones at 99) barely give way.
void solvelink(Tball& a, Tball& b, double length) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double d = guard(std::sqrt(dx * dx + dy * dy));
    double e = d - length;
    double ashare = e / (a.mass / b.mass + 1), bshare = e / (b.mass / a.mass + 1);
    double ux = dx / d, uy = dy / d;
    a.corrx += ashare * ux * LINKSTIFFNESS;
    a.corry += ashare * uy * LINKSTIFFNESS;
    b.corrx -= bshare * ux * LINKSTIFFNESS;
    b.corry -= bshare * uy * LINKSTIFFNESS;
}
