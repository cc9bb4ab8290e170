// Victory fireworks: a burst is a shell that explodes behind the playfield into a ball of
// sparks flying outwards in three dimensions. Depth z is 0 at the playfield and negative
// farther away; a spark's apparent size and position shrink with its depth.
#pragma once
#include "runtime/camera.h"
#include "runtime/graphics.h"
#include "runtime/random.h"

// One spark of a burst.
class tspark {
  public:
    float x = 0, y = 0, z = 0;
    float vx = 0, vy = 0, vz = 0;
    TImage image;

    virtual ~tspark() = default;
    bool operator==(const tspark&) const = default;
    // Draws the spark with additive light at the burst's alpha and colour, only when its
    // projected position lies strictly inside the screen. Worked in single precision.
    virtual void draw(const Camera& cam, float alpha, const float colour[3]) const;
};

// One firework: up to sparkcapacity sparks sharing a drifting colour and a fading life.
class Tburst {
  public:
    static constexpr int sparkcapacity = 500;

    int count = 0;
    float colour[3] = {0, 0, 0};
    float life = 0;
    TImage image;
    tspark sparks[sparkcapacity];
    float colourspeed[3] = {6, 6, 6};
    // Faded out at its last update: drawn once more at its last alpha, then dropped.
    bool ended = false;

    virtual ~Tburst() = default;
    bool operator==(const Tburst&) const = default;
    // Fills the first count slots with sparks leaving (x, y, z) at speed in random directions
    // (two angles drawn per spark, theta first), plus the offset velocity.
    virtual void explode(RandomGenerator& random, float x, float y, float z, float offsetx,
                         float offsety, float speed, int r, int g, int b, int count,
                         const TImage& image);
    // Ages the burst one frame (its colour drifts with the generator); 1 once it has faded
    // out, which ended says from then on.
    virtual int update(RandomGenerator& random);
    virtual void draw(const Camera& cam) const;
};
