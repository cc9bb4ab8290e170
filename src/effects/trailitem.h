// The main ball's glowing wake: every frame soft blobs in the ball's current colour are left
// where it is, and each fades out over some forty frames.
#pragma once
#include "runtime/camera.h"
#include "runtime/graphics.h"

class Ttrailitem {
  public:
    TImage image;
    double size = 0;
    double alpha = 0;
    int x = 0, y = 0;
    int vx = 0, vy = 0;
    int colour[3] = {0, 0, 0};
    // Too faint since its last update: drawn once more, then dropped.
    bool ended = false;

    virtual ~Ttrailitem() = default;
    bool operator==(const Ttrailitem&) const = default;
    virtual void start(double x, double y, double vx, double vy, const float colour[3],
                       const TImage& image, float alpha);
    // Fades the blob one frame; 1 once it is too faint to matter, which ended says from then
    // on.
    virtual int update();
    // Drawn with additive light; blobs are never tested for being on screen.
    virtual void draw(const Camera& cam) const;
};
