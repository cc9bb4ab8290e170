#include "football.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Vec {
    float x, y, z;
};

Vec normalised(Vec v) {
    float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / l, v.y / l, v.z / l};
}

float dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct Face {
    Vec normal;
    float distance; // from the centre, for a polyhedron with unit edges
    bool pentagon;
};

// The truncated icosahedron: pentagons face the icosahedron's corners, hexagons the centres of
// its triangles (the dodecahedron's corners).
std::vector<Face> makeFaces() {
    const float phi = (1 + std::sqrt(5.0f)) / 2;
    const float pentagonDistance = 2.32744f, hexagonDistance = 2.26728f;
    std::vector<Face> faces;
    auto add = [&](Vec v, float d, bool pentagon) {
        faces.push_back({normalised(v), d, pentagon});
    };
    for (float a : {-1.0f, 1.0f}) {
        for (float b : {-phi, phi}) {
            add({0, a, b}, pentagonDistance, true);
            add({a, b, 0}, pentagonDistance, true);
            add({b, 0, a}, pentagonDistance, true);
            add({0, b, a / phi}, hexagonDistance, false);
            add({b, a / phi, 0}, hexagonDistance, false);
            add({a / phi, 0, b}, hexagonDistance, false);
        }
    }
    for (float a : {-1.0f, 1.0f})
        for (float b : {-1.0f, 1.0f})
            for (float c : {-1.0f, 1.0f}) add({a, b, c}, hexagonDistance, false);
    return faces;
}

// Turns the ball so that one pentagon sits just above left of the middle and the pattern
// reads as a ball rather than a flat symbol.
Vec orient(Vec p) {
    const float a = 0.55f, b = 0.35f;
    Vec q{p.x * std::cos(a) + p.z * std::sin(a), p.y, -p.x * std::sin(a) + p.z * std::cos(a)};
    return {q.x, q.y * std::cos(b) - q.z * std::sin(b), q.y * std::sin(b) + q.z * std::cos(b)};
}

} // namespace

float footballSurface(float x, float y, float z) {
    static const std::vector<Face> faces = makeFaces();
    Vec p = orient({x, y, z});
    float best = -1, second = -1;
    bool pentagon = false;
    for (const Face& f : faces) {
        float s = dot(p, f.normal) / f.distance;
        if (s > best) {
            second = best;
            best = s;
            pentagon = f.pentagon;
        } else if (s > second) {
            second = s;
        }
    }
    const float seamWidth = 0.006f;
    if (best - second < seamWidth) return 0.30f;
    return pentagon ? 0.22f : 0.97f;
}

float footballPixel(int x, int y, float cx, float cy, float radius) {
    const int n = 4;
    float sum = 0;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            float px = (x + (i + 0.5f) / n - cx) / radius;
            float py = (y + (j + 0.5f) / n - cy) / radius;
            float rr = px * px + py * py;
            // Samples just beyond the rim take the rim's colour.
            float k = rr > 1 ? 1 / std::sqrt(rr) : 1.0f;
            sum += footballSurface(px * k, py * k, std::sqrt(std::max(0.0f, 1 - rr)));
        }
    }
    return sum / (n * n);
}
