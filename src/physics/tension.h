// An angular spring over three balls: it bends the arms at ball2 towards a target angle.
#pragma once

class Tball;

class Ttension {
  public:
    Tball* ball1 = nullptr; // null: the figure file named no such ball
    Tball* ball2 = nullptr; // the vertex
    Tball* ball3 = nullptr;
    double angle = 0;    // target angle in degrees, clockwise on screen from arm 2->1 to arm 2->3
    double strength = 0; // 10 or less: the spring does nothing

    // Adds this spring's corrections to the corrx/corry of its three balls.
    void apply(double dt);
};
