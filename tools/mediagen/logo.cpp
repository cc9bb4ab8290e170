#include "logo.h"

#include "football.h"
#include "sphere.h"
#include "text_mask.h"
#include <algorithm>
#include <cmath>

namespace {

const int logoWidth = 205, logoHeight = 275;

// Calls paint(x, y) for every pixel of the box, clipped to the canvas.
template <typename Paint>
void forBox(const Canvas& canvas, float x0, float y0, float x1, float y1, Paint paint) {
    int xa = std::max(0, static_cast<int>(std::floor(x0))),
        xb = std::min(canvas.width(), static_cast<int>(std::ceil(x1)));
    int ya = std::max(0, static_cast<int>(std::floor(y0))),
        yb = std::min(canvas.height(), static_cast<int>(std::ceil(y1)));
    for (int y = ya; y < yb; ++y)
        for (int x = xa; x < xb; ++x) paint(x, y);
}

Colour lit(Colour tint, SphereLight light, float alpha) {
    auto channel = [&](float c) { return std::min(1.0f, c * light.diffuse + light.specular); };
    return {channel(tint.r), channel(tint.g), channel(tint.b), alpha};
}

void paintBall(Canvas& canvas, float cx, float cy, float r, Colour tint) {
    forBox(canvas, cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1, [&](int x, int y) {
        float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
        float coverage = edgeCoverage(r - std::sqrt(dx * dx + dy * dy));
        canvas.blend(x, y, lit(tint, lightSphere(dx / r, dy / r), coverage));
    });
}

// A link: a bar of half width w from (x1, y1) to (x2, y2), lit across its width like rect.png.
void paintLink(Canvas& canvas, float x1, float y1, float x2, float y2, float w, Colour tint) {
    float lx = x2 - x1, ly = y2 - y1, len = std::sqrt(lx * lx + ly * ly);
    float ux = lx / len, uy = ly / len;
    forBox(canvas, std::min(x1, x2) - w - 1, std::min(y1, y2) - w - 1, std::max(x1, x2) + w + 1,
           std::max(y1, y2) + w + 1, [&](int x, int y) {
               float px = x + 0.5f - x1, py = y + 0.5f - y1;
               float along = std::clamp(px * ux + py * uy, 0.0f, len);
               float ox = px - along * ux, oy = py - along * uy;
               float across = std::sqrt(ox * ox + oy * oy);
               canvas.blend(x, y, lit(tint, lightSphere(ox / w, oy / w), edgeCoverage(w - across)));
           });
}

void paintFootball(Canvas& canvas, float cx, float cy, float r, Colour tint) {
    forBox(canvas, cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1, [&](int x, int y) {
        float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
        float coverage = edgeCoverage(r - std::sqrt(dx * dx + dy * dy));
        if (coverage <= 0) return;
        float surface = footballPixel(x, y, cx, cy, r);
        Colour c{tint.r * surface, tint.g * surface, tint.b * surface, 1};
        canvas.blend(x, y, lit(c, lightSphere(dx / r, dy / r), coverage));
    });
}

void paintGlow(Canvas& canvas, float cx, float cy, float r, Colour c) {
    forBox(canvas, cx - r, cy - r, cx + r, cy + r, [&](int x, int y) {
        float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
        float f = std::max(0.0f, 1 - std::sqrt(dx * dx + dy * dy) / r);
        canvas.blend(x, y, {c.r, c.g, c.b, c.a * f * f});
    });
}

// Signed distance to a rectangle with rounded corners (centre, half sizes, corner radius),
// negative inside.
float roundedBox(float x, float y, float cx, float cy, float hw, float hh, float radius) {
    float qx = std::fabs(x - cx) - (hw - radius), qy = std::fabs(y - cy) - (hh - radius);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

// The dark badge: a night-blue to violet card with the game's parallax grid and a bright rim.
void paintBadge(Canvas& canvas) {
    const Colour top{0.09f, 0.11f, 0.28f, 1}, bottom{0.24f, 0.07f, 0.29f, 1};
    const Colour rim{0.45f, 0.70f, 1.0f, 1}, grid{0.35f, 0.55f, 1.0f, 1};
    forBox(canvas, 0, 0, logoWidth, logoHeight, [&](int x, int y) {
        float px = x + 0.5f, py = y + 0.5f;
        float d = roundedBox(px, py, logoWidth / 2.0f, logoHeight / 2.0f, logoWidth / 2.0f - 1,
                             logoHeight / 2.0f - 1, 18);
        Colour c = mix(top, bottom, py / logoHeight);
        float near = std::fmod(px + 6, 48.0f) < 1 || std::fmod(py + 10, 48.0f) < 1;
        float far = std::fmod(px + 18, 24.0f) < 1 || std::fmod(py + 2, 24.0f) < 1;
        c = mix(c, grid, std::max(0.16f * near, 0.07f * far));
        c = mix(c, rim, smoothstep(-2.5f, -0.5f, d));
        c.a = edgeCoverage(-d);
        canvas.blend(x, y, c);
    });
}

// A ragdoll in the first player's red reaching into a flying kick at the football.
void paintFigure(Canvas& canvas) {
    const Colour red{0.92f, 0.14f, 0.12f, 1}, grey{0.70f, 0.70f, 0.74f, 1};
    const float head[2] = {60, 50}, neck[2] = {76, 80}, hip[2] = {98, 124};
    const float backElbow[2] = {50, 102}, backHand[2] = {30, 86};
    const float frontElbow[2] = {106, 72}, frontHand[2] = {130, 56};
    const float kickKnee[2] = {130, 132}, kickFoot[2] = {152, 114};
    const float standKnee[2] = {94, 164}, standFoot[2] = {76, 190};
    auto link = [&](const float* a, const float* b, float w) {
        paintLink(canvas, a[0], a[1], b[0], b[1], w, grey);
    };
    link(neck, backElbow, 4.5f);
    link(backElbow, backHand, 4);
    link(hip, standKnee, 5.5f);
    link(standKnee, standFoot, 5);
    link(neck, hip, 8);
    link(head, neck, 4);
    link(hip, kickKnee, 5.5f);
    link(kickKnee, kickFoot, 5);
    link(neck, frontElbow, 4.5f);
    link(frontElbow, frontHand, 4);
    for (const float* joint : {backElbow, standKnee, kickKnee, frontElbow, neck, hip})
        paintBall(canvas, joint[0], joint[1], 6, red);
    for (const float* end : {backHand, frontHand, standFoot, kickFoot})
        paintBall(canvas, end[0], end[1], 8, red);
    paintBall(canvas, head[0], head[1], 17, red);
}

// The football flying off the foot, with the glowing trail it leaves in the game.
void paintKickedBall(Canvas& canvas) {
    // A comet tail from the foot to the ball, built of fading blobs as the game's trail is.
    for (int i = 0; i < 16; ++i) {
        float t = i / 15.0f;
        paintGlow(canvas, 150 + 22 * t, 112 - 38 * t, 6 + 10 * t,
                  {1.0f, 0.75f + 0.15f * t, 0.3f, 0.22f + 0.3f * t});
    }
    paintGlow(canvas, 172, 74, 34, {1.0f, 0.85f, 0.45f, 0.45f});
    paintFootball(canvas, 172, 74, 20, {1, 0.97f, 0.9f, 1});
}

// The name in the game font: a warm gradient with a dark outline so it reads on any backdrop.
void paintName(Canvas& canvas, const TextMask& text) {
    const int left = (logoWidth - text.width) / 2, topY = 214;
    const Colour outline{0.04f, 0.03f, 0.10f, 1};
    const Colour upper{1.0f, 0.93f, 0.45f, 1}, lower{1.0f, 0.45f, 0.12f, 1};
    const int reach = 3;
    forBox(canvas, left - reach, topY - reach, left + text.width + reach,
           topY + text.height + reach, [&](int x, int y) {
               int tx = x - left, ty = y - topY;
               float ring = 0;
               for (int oy = -reach; oy <= reach; ++oy)
                   for (int ox = -reach; ox <= reach; ++ox)
                       if (ox * ox + oy * oy <= reach * reach)
                           ring = std::max(ring, text.at(tx + ox, ty + oy));
               canvas.blend(x, y, {outline.r, outline.g, outline.b, ring * 0.9f});
               Colour fill = mix(upper, lower, clamp01(static_cast<float>(ty) / text.height));
               fill.a = text.at(tx, ty);
               canvas.blend(x, y, fill);
           });
}

// Four short bars in the figures' colours, like the colour bars of a game in progress.
void paintColourBars(Canvas& canvas) {
    const Colour colours[4] = {
        {1, 0.1f, 0.1f, 1}, {0.15f, 0.3f, 1, 1}, {0.1f, 0.9f, 0.2f, 1}, {1, 0.9f, 0.1f, 1}};
    const float lengths[4] = {1.0f, 0.7f, 0.5f, 0.3f};
    for (int k = 0; k < 4; ++k) {
        float y = 254 + k * 3.5f, x0 = 34, x1 = x0 + 137 * lengths[k];
        forBox(canvas, x0, y, x1, y + 2.5f, [&](int x, int py) {
            Colour c = colours[k];
            c.a = clamp01(std::min(x1 - x, y + 2.5f - py)) * 0.9f;
            canvas.blend(x, py, c);
        });
    }
}

} // namespace

std::optional<Canvas> makeLogo(const std::string& fontPath) {
    std::optional<TextMask> name = rasteriseText(fontPath, "VANTORIX", 181);
    if (!name || name->width == 0) return std::nullopt;
    Canvas canvas(logoWidth, logoHeight);
    paintBadge(canvas);
    paintKickedBall(canvas);
    paintFigure(canvas);
    paintName(canvas, *name);
    paintColourBars(canvas);
    return canvas;
}
