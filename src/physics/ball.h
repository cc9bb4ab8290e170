// One physical ball: the building block of figures, main balls and obstacles.
#pragma once
#include "physics/geometry.h"
#include "runtime/graphics.h"
#include "runtime/random.h"
#include <string>

struct Tarena;

// What of a ball changes while it is stepped: a plain value, so a game's state can be saved
// and put back.
struct Tballstate {
    double mass = 0;             // what the solvers use: basemass, or 99 when fixed
    double corrx = 0, corry = 0; // position correction gathered during one solver pass
    double vx = 0, vy = 0;
    double oldx = 0, oldy = 0;
    double x = 0, y = 0;

    bool operator==(const Tballstate&) const = default;
};

class Tball : public Tballstate {
  public:
    // A new ball sits at a random whole-number spot of 0..800 x 0..600 until its creator
    // places it.
    explicit Tball(RandomGenerator& random);
    virtual ~Tball() = default;

    int bigimage = 0; // 1: drawn with the large obstacle image scale
    TImage image;
    int elastic = 0; // 1: full speed off straight walls; non-zero: no link friction
    std::string kind = "normal";
    double anchorx = 0, anchory = 0;
    int fixed = 0; // 1: pinned to the anchor; non-zero: mass 99
    double basemass = 1.0;
    int coloured = 0; // 1: drawn in the team colour
    int id = 0;
    double radius = 15.0;

    // Where the ball is seen on the screen: its centre and its radius in pixels.
    struct Projection {
        double x = 0, y = 0, radius = 0;
    };
    Projection project(const Camera& cam) const;
    void integrate(double dt, double g);
    // Velocity from the displacement of this step, without damping.
    void updatevelocity(double dt);
    virtual void draw(const Camera& cam) const;
    // Keeps the ball inside the stadium.
    void collidearena(const Tarena& arena);
};
