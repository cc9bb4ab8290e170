// Match-like scenes of figures, one main ball and an arena's obstacles, stepped in the order
// the match uses every frame. Shared by the physics tests and the physics benchmark.
#pragma once
#include "physics/arena.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include <memory>
#include <string>
#include <vector>

struct Scene {
    std::vector<std::unique_ptr<Tman>> figures;
    ragobject mainbody;
    Tmainball* mainball = nullptr;
    ragobject obstacles;
    Tarena arena;
};

// A ball appended to the body, placed at rest.
Tball& addball(ragobject& body, double x, double y, double radius, double basemass);

// figurecount figures from the file at half size, 1300 apart, centred on x = 0; a main ball
// of radius 40 and mass 5 at the centre; the stadium and obstacles of arena 1 (4000 x 3000,
// none) or arena 5 (4000 x 3000, four big obstacles). False when a figure did not load.
bool buildscene(Scene& scene, const std::string& figurefile, int figurecount, int arenanumber);

// One frame of physics as the match runs it (no steering): masses and old positions, the
// step of every body, the four possession tests, figure pairs, obstacles, arena walls.
void stepscene(Scene& scene);
