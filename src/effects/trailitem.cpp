#include "effects/trailitem.h"
#include "runtime/text.h"

namespace {
constexpr double blobsize = 40.0;
// Both constants are single-precision values: they fix how many frames a blob lives
// (44 from full alpha, 38 from half alpha).
constexpr double fade = double(0.9f);
constexpr double faintest = double(0.01f);
} // namespace

void Ttrailitem::start(double px, double py, double pvx, double pvy, const float tint[3],
                       const TImage& picture, float startalpha) {
    image = picture;
    for (int c = 0; c < 3; ++c) colour[c] = FloatToInt(tint[c]);
    alpha = startalpha;
    size = blobsize;
    x = FloatToInt(px), y = FloatToInt(py);
    vx = FloatToInt(pvx), vy = FloatToInt(pvy);
}

int Ttrailitem::update() {
    alpha *= fade;
    x += vx;
    y += vy;
    ended = !(alpha > faintest);
    return ended ? 1 : 0;
}

void Ttrailitem::draw(const Camera& cam) const {
    SetBlendMode(BLEND_LIGHT);
    SetDrawAlpha(float(alpha));
    SetDrawColor(colour[0], colour[1], colour[2]);
    const Vec2 at = cam.onscreen(x, y);
    SetDrawScale(float(cam.zoom * 2 * size / 50), float(cam.zoom * size * 2 / 50));
    DrawImage(image, float(at.x), float(at.y), 0);
    SetDrawScale(1, 1);
    SetDrawAlpha(1);
    SetBlendMode(BLEND_ALPHA);
}
