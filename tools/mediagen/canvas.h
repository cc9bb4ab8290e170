// An RGBA picture in floating point (straight, not premultiplied alpha, channels 0-1) that the
// picture makers paint into before it is written as PNG.
#pragma once
#include <vector>

struct Colour {
    float r = 1, g = 1, b = 1, a = 1;
};

class Canvas {
  public:
    Canvas(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    Colour get(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Colour c) { pixels_[index(x, y)] = c; }
    // Paints c over the pixel with the usual "over" rule; a fully transparent result keeps the
    // painted colour so that texture filtering in the game sees no dark fringe.
    void blend(int x, int y, Colour c);

  private:
    int index(int x, int y) const { return y * width_ + x; }
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

// Coverage of an edge at signed distance d (pixels, positive inside), antialiased over one pixel.
float edgeCoverage(float d);
float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);
Colour mix(Colour a, Colour b, float t);
