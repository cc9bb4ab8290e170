// What a game shows every frame around the figures: the camera, the parallax grid, the
// stadium's round ends and grey surroundings, the obstacles, the fireworks, the ball trail,
// the colour bars and the fading level banner.
#include "effects/burst.h"
#include "effects/colourdrift.h"
#include "effects/trailitem.h"
#include "match/match.h"
#include "physics/arena.h"
#include "physics/geometry.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "physics/teamcolours.h"
#include "runtime/random.h"
#include "runtime/text.h"
#include <algorithm>
#include <cmath>

namespace {
// Frames of the opening glide from far away to the framed players.
constexpr int glideframes = 150;
constexpr double farzoom = 0.05;
constexpr double closestzoom = 0.7;
// World units between two grid lines, in every layer.
constexpr double gridspacing = 1300;
constexpr int gridlayers = 10;
// The round-end picture spans the stadium's height with this many of its pixels.
constexpr double mezballspan = 1000;
// Bars are this many layout units high.
constexpr double barheight = 15;
constexpr int bannerframes = 120;
// Fireworks: a shell bursts this far behind the playfield, at most three at a time.
constexpr float launchdepth = -2000;
constexpr float sparkspeed = 20;
constexpr int sparksperburst = 400;
constexpr int mostbursts = 3;

double roundhalfup(double v) {
    double f = std::floor(v);
    return v - f >= 0.5 ? f + 1 : f;
}
} // namespace

void Tmatch::updatecamera() {
    double maxx = -9999, maxy = -9999, minx = 9999, miny = 9999;
    auto widen = [&](double x, double y) {
        maxx = std::max(maxx, x), minx = std::min(minx, x);
        maxy = std::max(maxy, y), miny = std::min(miny, y);
    };
    // Only the people are framed: figure 1, or every figure when several people play.
    for (int i = 1; i <= mancount; ++i) {
        if (i != 1 && mode != "multiplayer") continue;
        man(i).computecentre();
        widen(man(i).centrex, man(i).centrey);
    }
    for (int i = 0; i < mainballcount; ++i) widen(mainballs[i]->x, mainballs[i]->y);
    camerax = (maxx + minx) / 2;
    cameray = (maxy + miny) / 2;
    double f = double(glideframes - frame) / glideframes;
    if (frame < glideframes) camerax *= 1 - f, cameray *= 1 - f;
    zoom = 0.8 * std::min(screenwidth / (maxx - minx), screenheight / (maxy - miny));
    zoom = std::min(closestzoom, zoom);
    if (frame < glideframes) zoom = zoom * (1 - f) + farzoom * f;
    zoom *= screenwidth / 1024.0;
}

// Ten layers of grid lines, farthest first; a far layer is drawn at a smaller zoom, so it
// lies behind the nearer ones and moves less with the camera.
static void drawgrid(const Tarena& a, const float gridcolour[3], double camerax, double cameray,
                     double zoom, int sw, int sh) {
    double w = a.rightend - a.leftend, h = a.bottom - a.top;
    const double layerfactor = std::pow(0.05, 1.0 / gridlayers); // drawn only
    int columns = FloatToInt(std::ceil((w + h) / gridspacing) + 1);
    int rows = FloatToInt(std::ceil(h / gridspacing) + 1);
    for (int n = gridlayers - 1; n >= 0; --n) {
        double m = std::pow(layerfactor, n); // drawn only
        double zl = 1 / (1 / zoom + 1 / m);
        int rgb[3];
        for (int c = 0; c < 3; ++c)
            rgb[c] = FloatToInt(std::min(255.0, 1.4 * gridcolour[c] * 1.5 * zl));
        for (int i = 0; i <= columns; ++i) {
            double wx = (a.leftend - h / 2) - (columns * gridspacing - w - h) / 2 + i * gridspacing;
            double x = roundhalfup(toscreen(wx, camerax, zl, sw));
            if (x <= 0 || x >= sw) continue;
            SetDrawColor(rgb[0], rgb[1], rgb[2]);
            DrawLine(float(x), 0, float(x), float(sh), 1);
        }
        for (int i = 0; i <= rows; ++i) {
            double wy = a.top - (rows * gridspacing - h) / 2 + i * gridspacing;
            double y = roundhalfup(toscreen(wy, cameray, zl, sh));
            if (y <= 0 || y >= sh) continue;
            SetDrawColor(rgb[0], rgb[1], rgb[2]);
            DrawLine(0, float(y), float(sw), float(y), 1);
        }
    }
}

// Everything behind the figures is drawn through the camera as it stood before the frame moved
// it (backcamera), the figures and the trail through the moved one.
void Tmatch::drawbackground() const {
    const Tarena& a = world.bounds;
    const double h = a.bottom - a.top;
    const double sw = screenwidth, sh = screenheight;
    const double camx = backcamera.x, camy = backcamera.y, z = backcamera.zoom;
    const double l = toscreen(a.leftend - h / 2, camx, z, sw);
    const double r = toscreen(a.rightend + h / 2, camx, z, sw);
    const double rc = toscreen(a.rightend, camx, z, sw);
    const double t = toscreen(a.top, camy, z, sh);
    const double b = toscreen(a.bottom, camy, z, sh);
    drawgrid(a, gridcolour, camx, camy, z, screenwidth, screenheight);
    SetBlendMode(BLEND_ALPHA);
    SetLineWidth(1);
    drawfireworks();
    SetDrawColor(64, 64, 64);
    // The round-end picture is the left end's surroundings; the right end is its mirror.
    const float endscale = float(z * h / mezballspan);
    SetDrawScale(endscale, endscale);
    DrawImage(mezballimage, float(l), float(t), 0);
    SetDrawScale(-endscale, endscale);
    DrawImage(mezballimage, float(r - 1), float(t), 0);
    SetDrawScale(1, 1);
    DrawRect(0, float(b - 1), float(sw), float(sh - b + 1));
    DrawRect(float(r - 1), float(t), float(sw - rc + 1), float(b - t));
    DrawRect(0, 0, float(sw), float(t));
    DrawRect(0, float(t), float(l), float(b - t));
    obstacles->draw(backcamera);
}

void Tmatch::updatefireworks() {
    // A burst that ended last frame was drawn then for the last time.
    for (std::shared_ptr<Tburst> burst : *rockets)
        if (burst->ended) rockets->remove(burst.get());
    // Shells burst only in the part of the stadium that is visible at the launch depth.
    const double k = 1 / zoom + 2;
    const Tarena& bounds = world.bounds;
    const double radius = (bounds.bottom - bounds.top) / 2;
    const double xlow = std::max(bounds.leftend - radius, camerax - screenwidth / 2.0 * k);
    const double xhigh = std::min(bounds.rightend + radius, camerax + screenwidth / 2.0 * k);
    const double ylow = std::max(bounds.top, cameray - screenheight / 2.0 * k);
    const double yhigh = std::min(bounds.bottom, cameray + screenheight / 2.0 * k);
    if (winner != 0 && RandomInt(random, 0, 100) > 95 && rockets->count() < mostbursts &&
        fireworks == 1) {
        // The draws are made in this order: colour from blue to red, then y, then x.
        int b = RandomInt(random, 0, 255);
        int g = RandomInt(random, 0, 255);
        int r = RandomInt(random, 0, 255);
        int y = RandomInt(random, FloatToInt(ylow), FloatToInt(yhigh));
        int x = RandomInt(random, FloatToInt(xlow), FloatToInt(xhigh));
        auto burst = std::make_shared<Tburst>();
        burst->explode(random, float(x), float(y), launchdepth, 0, 0, sparkspeed, r, g, b,
                       sparksperburst, sparkimage);
        rockets->addLast(burst);
    }
    for (const std::shared_ptr<Tburst>& burst : *rockets) burst->update(random);
}

// An ending burst is still drawn once, at its last faint alpha.
void Tmatch::drawfireworks() const {
    if (!showfireworks) return;
    for (const std::shared_ptr<Tburst>& burst : *rockets) burst->draw(backcamera);
}

void Tmatch::updatetrail() {
    // A blob that ended last frame was drawn then for the last time.
    for (std::shared_ptr<Ttrailitem> item : *trailitems)
        if (item->ended) trailitems->remove(item.get());
    auto drop = [&](double x, double y, const Tmainball& ball, float alpha) {
        auto item = std::make_shared<Ttrailitem>();
        item->start(x, y, 0, 0, ball.colour.data(), sparkimage, alpha);
        trailitems->addFirst(item);
    };
    for (int i = 0; i < mainballcount; ++i) {
        const Tmainball& ball = *mainballs[i];
        if (trail == 1) drop(ball.x, ball.y, ball, 1.0f);
        if (trail == 2) {
            // The second blob, halfway back to where the ball was, fills the gap a fast ball
            // leaves between two frames.
            drop(ball.x, ball.y, ball, 0.5f);
            drop((ball.x + ball.oldx) / 2, (ball.y + ball.oldy) / 2, ball, 0.5f);
        }
    }
    for (const std::shared_ptr<Ttrailitem>& item : *trailitems) item->update();
}

void Tmatch::drawtrail() const {
    for (const std::shared_ptr<Ttrailitem>& item : *trailitems) item->draw(camera());
}

void Tmatch::drawbars() const {
    const double u = screenwidth / 1024.0;
    const int bars = std::clamp(mancount, 2, 4);
    for (int k = 1; k <= bars; ++k) {
        const Teamrgb& rgb = teampalette(teamcolours).bar[k - 1];
        SetDrawColor(rgb.r, rgb.g, rgb.b);
        SetDrawScale(float(double(screenwidth) / ImageWidth(trailimage) * man(k).bar / goal),
                     float(barheight / ImageHeight(trailimage) * u));
        DrawImage(trailimage, 0, float((k - 1) * barheight * u), 0);
    }
    SetDrawScale(1, 1);
    SetDrawAlpha(1);
}

void Tmatch::drawpadnotices() const {
    const double u = screenwidth / 1024.0;
    int line = 0;
    if (!notice.empty()) {
        SetDrawColor(160, 160, 160);
        SetDrawScale(float(0.15 * u), float(0.15 * u));
        DrawText(notice, float((screenwidth - TextWidth(notice) * 0.15 * u) / 2), float(740 * u));
    }
    for (int k = 1; k <= mancount; ++k) {
        if (!source->padlost(*this, k)) continue;
        const std::string text = "PLAYER " + std::to_string(k) + ": PAD UNPLUGGED";
        SetDrawColor(255, 255, 255);
        SetDrawScale(float(0.25 * u), float(0.25 * u));
        DrawText(text, float((screenwidth - TextWidth(text) * 0.25 * u) / 2),
                 float((700 - 40 * line++) * u));
    }
    SetDrawScale(1, 1);
}

void Tmatch::drawbanner(double p) const {
    if (bannertime >= 0) {
        SetDrawAlpha(float(bannertime) / bannerframes);
        // Stretched across the whole screen width and centred vertically.
        const double s = double(screenwidth) / TextWidth(bannertext);
        SetDrawColor(FloatToInt(colours[0][0]), FloatToInt(colours[0][1]),
                     FloatToInt(colours[0][2]));
        SetDrawScale(float(s), float(s));
        DrawText(bannertext, 0, float(FloatToInt(screenheight * p - TextHeight() / 2 * s)));
    }
    SetDrawScale(1, 1);
    SetDrawAlpha(1);
}
