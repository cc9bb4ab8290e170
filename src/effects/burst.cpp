#include "effects/burst.h"
#include "effects/colourdrift.h"
#include "runtime/text.h"
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// How quickly depth shrinks a spark: at zoom 1, a spark this many world units behind the
// playfield is drawn at half size and half way towards the screen centre.
constexpr float depthscale = 1000.0f;
constexpr float sparkscale = 0.9f;
constexpr float damping = 0.995f;
constexpr float lifestep = 0.01f;

double cosdeg(double degrees) {
    return std::cos(degrees * std::numbers::pi / 180.0);
}
double sindeg(double degrees) {
    return std::sin(degrees * std::numbers::pi / 180.0);
}
} // namespace

void tspark::draw(const Camera& cam, float alpha, const float colour[3]) const {
    const float camx = float(cam.x), camy = float(cam.y), zoom = float(cam.zoom);
    const float screenw = float(cam.screenw), screenh = float(cam.screenh);
    float s = 1.0f / (1.0f / zoom - z / depthscale);
    SetBlendMode(BLEND_LIGHT);
    SetDrawAlpha(alpha);
    SetDrawColor(FloatToInt(colour[0]), FloatToInt(colour[1]), FloatToInt(colour[2]));
    SetDrawScale(sparkscale * s, sparkscale * s);
    float sx = (x - camx) * s + screenw / 2;
    float sy = (y - camy) * s + screenh / 2;
    if (sx > 0 && sx < screenw && sy > 0 && sy < screenh) DrawImage(image, sx, sy, 0);
    SetBlendMode(BLEND_ALPHA);
    SetDrawAlpha(1);
    SetDrawScale(1, 1);
}

void Tburst::explode(RandomGenerator& random, float x, float y, float z, float offsetx,
                     float offsety, float speed, int r, int g, int b, int sparkcount,
                     const TImage& sparkimage) {
    // The slots are fixed; a larger request would write past them, so it is capped.
    count = std::clamp(sparkcount, 0, sparkcapacity);
    image = sparkimage;
    life = 1.0f;
    colour[0] = float(r), colour[1] = float(g), colour[2] = float(b);
    for (int i = 0; i < count; ++i) {
        tspark& spark = sparks[i];
        spark = tspark{};
        // Theta spans the whole circle, so every direction comes up twice and the sparks
        // crowd a little towards the depth axis.
        double theta = RandomReal(random, 360, 0);
        double phi = RandomReal(random, 360, 0);
        spark.image = image;
        spark.x = x, spark.y = y, spark.z = z;
        spark.vx = float(speed * cosdeg(theta) * cosdeg(phi) + offsetx);
        spark.vy = float(speed * cosdeg(theta) * sindeg(phi) + offsety);
        spark.vz = float(speed * sindeg(theta));
    }
}

int Tburst::update(RandomGenerator& random) {
    life -= lifestep;
    drift(random, colour, colourspeed);
    for (int i = 0; i < count; ++i) {
        tspark& spark = sparks[i];
        spark.vx *= damping, spark.vy *= damping, spark.vz *= damping;
        spark.x += spark.vx, spark.y += spark.vy, spark.z += spark.vz;
    }
    ended = life < lifestep;
    return ended ? 1 : 0;
}

void Tburst::draw(const Camera& cam) const {
    for (int i = 0; i < count; ++i) sparks[i].draw(cam, life, colour);
}
