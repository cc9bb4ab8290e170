// Drawing of balls, links, figures and main balls through the camera. The ball pictures are
// 300 pixels across (800 for the big obstacle picture) and the link picture 280 square, so
// the scales below turn them into discs of the ball's radius and bars of the link's width.
#include "physics/ball.h"
#include "physics/constants.h"
#include "physics/link.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include <cmath>
#include <numbers>

static double degrees(double radians) {
    return radians * (180.0 / std::numbers::pi);
}

Tball::Projection Tball::project(const Camera& cam) const {
    return {toscreen(x, cam.x, cam.zoom, cam.screenw), toscreen(y, cam.y, cam.zoom, cam.screenh),
            radius * cam.zoom};
}

void Tball::draw(const Camera& cam) const {
    const Projection p = project(cam);
    if (bigimage != 0)
        SetDrawScale(float(p.radius * 0.0025f), float(p.radius * 0.00125f * 2));
    else
        SetDrawScale(float(p.radius * 0.0066666668f), float(p.radius * 0.0033333334f * 2));
    DrawImage(image, float(p.x), float(p.y), 0);
    SetDrawScale(1, 1);
    SetDrawAlpha(1);
}

void Tlink::draw(const Camera& cam) const {
    const Tball::Projection p1 = ball1->project(cam), p2 = ball2->project(cam);
    double dx = p2.x - p1.x;
    double dy = p2.y - p1.y;
    double len = std::sqrt(dx * dx + dy * dy);
    double rotation = degrees(std::atan(dy / guard(dx))); // drawn only
    if (rotation > 45) rotation -= 180;
    SetDrawRotation(float(rotation));
    SetDrawScale(float(len * 0.0035714286f), float(cam.zoom * thickness * 2 * 0.0035714286f));
    DrawImage(image, float((p1.x + p2.x) / 2), float((p1.y + p2.y) / 2), 0);
    SetDrawScale(1, 1);
    SetDrawRotation(0);
}

static void setcolour(const Teamrgb& c) {
    SetDrawColor(c.r, c.g, c.b);
}

// Parts flagged with any other value than 0 or 1 are drawn in neither pass.
static void drawparts(const Tman& man, int coloured, const Camera& cam) {
    for (auto& b : man.balls)
        if (b->coloured == coloured) b->draw(cam);
    for (auto& l : man.links)
        if (l.coloured == coloured) l.draw(cam);
}

void Tman::draw(const Camera& cam) const {
    if (dimmed == 1)
        SetDrawColor(70, 70, 70);
    else
        SetDrawColor(160, 160, 160);
    drawparts(*this, 0, cam);
    // Other teams keep the grey.
    if (team >= 1 && team <= 4) setcolour(palette->figure[team - 1]);
    drawparts(*this, 1, cam);
}

void Tmainball::paint() {
    colour = {130, 130, 130}; // owned by a team without a colour
    if (owner == 0) {
        colour = {255, 255, 255};
    } else if (owner >= 1 && owner <= 4) {
        const Teamrgb& c = palette->ball[owner - 1];
        colour = {float(c.r), float(c.g), float(c.b)};
    }
}

void Tmainball::draw(const Camera& cam) const {
    SetDrawColor(int(colour[0]), int(colour[1]), int(colour[2]));
    // Turned as seen from a point far above the arena, so it seems to roll as it crosses.
    SetDrawRotation(float(degrees(std::atan2(y + 3000, x)) - 45)); // drawn only
    Tball::draw(cam);
    SetDrawRotation(0);
}
