#include "physics/ragobject.h"
#include "physics/constants.h"
#include "physics/solver.h"

void ragobject::computecentre() {
    double sx = 0, sy = 0;
    for (auto& b : balls) sx += b->x, sy += b->y;
    centrex = sx / double(balls.size());
    centrey = sy / double(balls.size());
}

void ragobject::computevelocity() {
    double sx = 0, sy = 0;
    for (auto& b : balls) sx += b->vx, sy += b->vy;
    meanvx = sx / double(balls.size());
    meanvy = sy / double(balls.size());
}

void ragobject::setmasses() {
    for (auto& b : balls) b->mass = b->fixed != 0 ? FIXEDMASS : b->basemass;
}

// The only damping of free motion: a little speed is lost every step.
void ragobject::updatevelocities(double dt) {
    for (auto& b : balls) {
        b->vx = (b->x - b->oldx) / dt * DAMPING;
        b->vy = (b->y - b->oldy) / dt * DAMPING;
    }
}

void ragobject::storeold() {
    for (auto& b : balls) b->oldx = b->x, b->oldy = b->y;
}

void ragobject::integrate(double dt, double g) {
    for (auto& b : balls) b->integrate(dt, g);
}

void ragobject::pin() {
    for (auto& b : balls) {
        if (b->fixed != 1) continue;
        b->vx = b->vy = 0;
        b->x = b->oldx = b->anchorx;
        b->y = b->oldy = b->anchory;
    }
}

void ragobject::relax(double dt) {
    for (int pass = 0; pass < RELAXPASSES; ++pass) {
        solvelinks();
        solvetensions(dt);
    }
}

void ragobject::draw(const Camera& cam) const {
    for (auto& b : balls) b->draw(cam);
    for (auto& l : links) l.draw(cam);
}

// Every link sees the positions of the start of the pass; the corrections are gathered and
// applied together afterwards, so no link chases another link's correction of the same pass.
void ragobject::solvelinks() {
    for (auto& b : balls) b->corrx = b->corry = 0;
    for (auto& l : links) solvelink(*l.ball1, *l.ball2, l.length);
    for (auto& b : balls) b->x += b->corrx, b->y += b->corry;
}

void ragobject::solvetensions(double dt) {
    for (auto& b : balls) b->corrx = b->corry = 0;
    for (auto& t : tensions) t.apply(dt);
    for (auto& b : balls) b->x += b->corrx, b->y += b->corry;
}

void ragobject::collidearena(const Tarena& arena) {
    for (auto& b : balls) b->collidearena(arena);
}
