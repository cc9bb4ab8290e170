#include "canvas.h"

#include <algorithm>

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      pixels_(static_cast<size_t>(width) * height, Colour{1, 1, 1, 0}) {}

void Canvas::blend(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || c.a <= 0) return;
    Colour& d = pixels_[index(x, y)];
    float a = c.a + d.a * (1 - c.a);
    float keep = d.a * (1 - c.a) / a;
    d.r = c.r * c.a / a + d.r * keep;
    d.g = c.g * c.a / a + d.g * keep;
    d.b = c.b * c.a / a + d.b * keep;
    d.a = a;
}

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

float edgeCoverage(float d) {
    return clamp01(d + 0.5f);
}

float smoothstep(float edge0, float edge1, float v) {
    float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}
