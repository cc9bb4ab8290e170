#include "sphere.h"

#include "canvas.h"
#include <algorithm>
#include <cmath>

SphereLight lightSphere(float nx, float ny) {
    float rr = nx * nx + ny * ny;
    if (rr > 1) {
        float k = 1 / std::sqrt(rr);
        nx *= k;
        ny *= k;
        rr = 1;
    }
    float nz = std::sqrt(1 - rr);
    // Key light from the upper left, half-vector for the highlight towards the viewer.
    const float lx = -0.45f, ly = -0.55f, lz = 0.70f;
    const float hx = lx * 0.5f, hy = ly * 0.5f, hz = (lz + 1) * 0.5f;
    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    float lambert = std::max(0.0f, nx * lx + ny * ly + nz * lz);
    float spec = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 24.0f);
    // A faint bounce light from the lower right keeps the shadow side from going flat.
    float bounce = std::max(0.0f, 0.5f * nx + 0.6f * ny) * 0.12f;
    // The outline: a darker band at the very rim separates overlapping balls.
    float rim = 1 - 0.35f * smoothstep(0.90f, 1.0f, std::sqrt(rr));
    float diffuse = (0.30f + 0.55f * lambert + bounce) * rim;
    return {std::min(1.0f, diffuse), 0.45f * spec};
}

void paintGreySphere(Canvas& canvas, float cx, float cy, float radius) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float coverage = edgeCoverage(radius - std::sqrt(dx * dx + dy * dy));
            SphereLight light = lightSphere(dx / radius, dy / radius);
            float v = std::min(1.0f, light.diffuse + light.specular);
            canvas.set(x, y, {v, v, v, coverage});
        }
    }
}
