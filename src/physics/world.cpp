// The step of the world; see world.h for its order and why it is fixed.
#include "physics/world.h"
#include "physics/collide.h"
#include "physics/constants.h"
#include "physics/ragobject.h"

namespace {

// Every object in stepping order: figures, main-ball bodies, obstacles.
template <class F> void eachobject(World& world, F f) {
    for (ragobject* figure : world.figures) f(*figure);
    for (ragobject* body : world.ballbodies) f(*body);
    if (world.obstacles) f(*world.obstacles);
}

} // namespace

void prepareworld(World& world) {
    eachobject(world, [](ragobject& body) {
        body.setmasses();
        body.storeold();
    });
}

void moveworld(World& world) {
    eachobject(world, [&](ragobject& body) {
        body.integrate(world.timestep, world.gravity);
        body.pin();
        body.relax(world.timestep);
        body.updatevelocities(world.timestep);
    });
}

void boundworld(World& world) {
    if (world.obstacles) {
        for (ragobject* figure : world.figures)
            collideobjects(*world.obstacles, *figure, BOUNCEKICK);
        for (ragobject* body : world.ballbodies)
            collideobjects(*body, *world.obstacles, BOUNCEKICK);
    }
    for (ragobject* figure : world.figures) figure->collidearena(world.bounds);
    for (ragobject* body : world.ballbodies) body->collidearena(world.bounds);
}
