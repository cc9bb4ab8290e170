#include "pictures.h"

#include "football.h"
#include "sphere.h"
#include <algorithm>
#include <cmath>

Canvas makeBall(int size) {
    Canvas canvas(size, size);
    paintGreySphere(canvas, size / 2.0f, size / 2.0f, size / 2.0f);
    return canvas;
}

Canvas makeMainBall() {
    const int size = 300;
    const float centre = size / 2.0f, radius = size / 2.0f;
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
            float coverage = edgeCoverage(radius - std::sqrt(dx * dx + dy * dy));
            SphereLight light = lightSphere(dx / radius, dy / radius);
            float surface = coverage > 0 ? footballPixel(x, y, centre, centre, radius) : 1.0f;
            float v = std::min(1.0f, surface * light.diffuse + light.specular);
            canvas.set(x, y, {v, v, v, coverage});
        }
    }
    return canvas;
}

Canvas makeLinkBar() {
    const int size = 280;
    const float half = size / 2.0f;
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        float across = (y + 0.5f - half) / half;
        // Lit like a cylinder lying along the link: bright upper side, rim-dark edges.
        SphereLight light = lightSphere(0, across);
        float v = std::min(1.0f, light.diffuse + light.specular);
        float coverage = edgeCoverage(half - std::fabs(y + 0.5f - half));
        for (int x = 0; x < size; ++x) canvas.set(x, y, {v, v, v, coverage});
    }
    return canvas;
}

Canvas makeRoundEnd() {
    const int width = 500, height = 1000;
    const float centre = 500, radius = 500;
    Canvas canvas(width, height);
    // Plain white: the straight walls beside it are drawn as flat rectangles in the same
    // colour, so any texture here would show a seam where they meet.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
            canvas.set(x, y, {1, 1, 1, edgeCoverage(std::sqrt(dx * dx + dy * dy) - radius)});
        }
    }
    return canvas;
}

Canvas makeSpark() {
    const int size = 64;
    const float half = size / 2.0f;
    Canvas canvas(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float dx = x + 0.5f - half, dy = y + 0.5f - half;
            float r = std::sqrt(dx * dx + dy * dy) / half;
            float falloff = std::max(0.0f, 1 - r);
            // A wide soft halo around a small hot core; both vanish at the rim.
            float glow =
                0.65f * std::pow(falloff, 1.6f) + 0.35f * std::exp(-r * r / 0.02f) * falloff;
            canvas.set(x, y, {1, 1, 1, clamp01(glow)});
        }
    }
    return canvas;
}

Canvas makeBarStrip() {
    const int width = 512, height = 32;
    Canvas canvas(width, height);
    for (int y = 0; y < height; ++y) {
        float t = (y + 0.5f) / height;
        // Glossy profile: a bright shine across the upper half, a darker lower half with a
        // faint reflection near the bottom, and a thin darker line along both edges.
        float v = 0.80f - 0.18f * t;
        v += 0.22f * smoothstep(0.05f, 0.15f, t) * (1 - smoothstep(0.40f, 0.50f, t));
        v += 0.06f * std::exp(-std::pow((t - 0.85f) / 0.06f, 2.0f));
        if (y == 0 || y == height - 1) v *= 0.62f;
        for (int x = 0; x < width; ++x) canvas.set(x, y, {v, v, v, 1});
    }
    return canvas;
}
