// Match-like scenes of figures, one main ball and an arena's obstacles, stepped by the world
// step the match uses every frame. Shared by the physics tests and the benchmarks.
#pragma once
#include "physics/mainball.h"
#include "physics/man.h"
#include "physics/world.h"
#include <memory>
#include <string>
#include <vector>

struct Scene {
    Scene() = default;
    Scene(const Scene&) = delete; // the world points into it
    Scene& operator=(const Scene&) = delete;

    std::vector<std::unique_ptr<Tman>> figures;
    ragobject mainbody;
    Tmainball* mainball = nullptr;
    ragobject obstacles;
    World world; // the objects above, in stepping order
};

// A ball appended to the body, placed at rest.
Tball& addball(ragobject& body, double x, double y, double radius, double basemass);

// figurecount figures from the file at half size, 1300 apart, centred on x = 0; a main ball
// of radius 40 and mass 5 at the centre; the stadium and obstacles of arena 1 (4000 x 3000,
// none) or arena 5 (4000 x 3000, four big obstacles). False when a figure did not load.
bool buildscene(Scene& scene, const std::string& figurefile, int figurecount, int arenanumber);

// One frame of physics as the match runs it, without steering: the world step with the four
// possession tests (from a random figure, as the game draws it) and the figure pairs.
void stepscene(Scene& scene);
