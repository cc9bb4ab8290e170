// The level-9 scene rebuilt in Box2D, as a yardstick for our own step: circles for balls,
// distance joints for links, revolute joints for tensions, static circles for obstacles and a
// chain loop for the stadium.
#pragma once
#include <box2d/box2d.h>
#include <memory>
#include <vector>

struct Scene;

struct Box2DScene {
    std::unique_ptr<b2World> world;
    std::vector<b2Body*> steered; // the first ball of every figure
    b2Body* mainball = nullptr;
};

// Copies bodies, links and tensions from our scene, in metres (100 world units each).
Box2DScene buildbox2d(const Scene& scene);
// One 1/60 s step with the default iterations, after pushing every steered ball towards the
// main ball as our figures are pushed.
void stepbox2d(Box2DScene& scene);
