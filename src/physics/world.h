// The world a match simulates: its ragdoll objects (figures, the bodies around the main
// balls, the obstacles) and the stadium around them, stepped once per frame. The match owns
// the objects; the world only knows them, in the order they step.
//
// One step, and why its order is fixed: every object first gets its masses and keeps its old
// position; then the match pushes its figures (steering only adds to velocities, and a push
// must come after the old positions were kept or it would vanish from the new velocities);
// then each object in turn moves, is pinned, relaxed and given its new velocity, all four
// before the next object starts; then the match resolves its own contacts (possession of the
// main balls, figures against figures); then figures and main balls meet the obstacles and
// every object but the obstacles meets the walls. Every solver visits objects and balls in
// list order, and the outcome depends on it: a recorded game replays only in this order.
#pragma once
#include "physics/arena.h"
#include <vector>

class ragobject;

struct World {
    std::vector<ragobject*> figures;    // meet the obstacles as the second object
    std::vector<ragobject*> ballbodies; // main-ball bodies: meet the obstacles as the first
    ragobject* obstacles = nullptr;
    Tarena bounds;
    double gravity = 0;
    double timestep = 1.0;
};

// The three parts of a step, for stepworld and for tests of one part.
void prepareworld(World& world);
void moveworld(World& world);
void boundworld(World& world);

// One whole step; push and touch are the match's parts (see above).
template <class Push, class Touch> void stepworld(World& world, Push&& push, Touch&& touch) {
    prepareworld(world);
    push();
    moveworld(world);
    touch();
    boundworld(world);
}
