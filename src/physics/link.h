// A distance link between two balls of the same ragdoll object.
#pragma once
#include "physics/geometry.h"
#include "runtime/graphics.h"
#include <string>

class Tball;

class Tlink {
  public:
    TImage image;
    std::string kind = "normal";
    Tball* ball1 = nullptr; // null: the figure file named no such ball
    Tball* ball2 = nullptr;
    double length = 0;      // rest length
    double thickness = 3.0; // half-width for contacts with other objects' balls
    int coloured = 0;

    // A bar stretched between the two projected ends.
    void draw(const Camera& cam) const;
};
