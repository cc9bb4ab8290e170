// The three set-ups: figures, main ball and arena for a level of the campaign, a custom game
// or a multiplayer game.
#include "effects/trailitem.h"
#include "match/levels.h"
#include "match/match.h"
#include "match/routines.h"
#include "physics/constants.h"
#include "physics/loader.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/folders.h"
#include "runtime/random.h"
#include <algorithm>

std::string figurefile() {
    return MediaPath("man.txt");
}

namespace {

// Figures stand 1300 apart, centred on the arena's middle.
double figureoffset(int k, int mancount) {
    return (k - 1 - (mancount - 1) / 2.0) * 1300;
}

} // namespace

// Loads figure k into its slot. A figure file that is missing or gives a figure that cannot
// be stepped ends the set-up: the player is told once and the game is not played.
static Tman* loadfigure(Tmatch& m, int k, double size) {
    if (m.setupfailed) return nullptr;
    m.men[k - 1] = std::make_unique<Tman>();
    Tman& figure = *m.men[k - 1];
    LoadStatus status = loadragdoll(figurefile(), figure, m.random, size, double(1.12f),
                                    m.ballimage, m.rectimage, figureoffset(k, m.mancount), 0, 1.0);
    figure.palette = &teampalette(m.teamcolours);
    if (status == LoadStatus::Loaded) return &figure;
    // The loader has told the player what is wrong with the file.
    m.setupfailed = true;
    return nullptr;
}

static void addmainball(Tmatch& m, double radius, double basemass) {
    auto body = std::make_unique<ragobject>();
    auto ball = std::make_unique<Tmainball>(m.random);
    ball->image = m.mainballimage;
    ball->palette = &teampalette(m.teamcolours);
    ball->radius = radius;
    ball->basemass = basemass;
    ball->elastic = 1;
    ball->x = 0;
    ball->y = 0;
    ball->vx = RandomInt(m.random, -20, 20);
    ball->vy = RandomInt(m.random, -20, 20);
    m.mainballs[0] = ball.get();
    body->balls.push_back(std::move(ball));
    m.world.ballbodies.push_back(body.get());
    m.mainballbodies[0] = std::move(body);
    m.goal = GOAL;
}

// The rest of a custom or multiplayer set-up, after the figures: the settings records share
// their ball, gravity and arena fields.
static void finishsettings(Tmatch& m, int gravity, int ballsize, int ballmass, int arena) {
    m.mainballcount = 1;
    m.goal = GOAL;
    m.world.gravity = gravity / 20.0;
    addmainball(m, 8.0 * ballsize, ballmass);
    m.buildarena(arena);
    m.state = "normal";
}

void Tmatch::setuplevel(int levelnumber) {
    mainballcount = 1;
    goal = GOAL;
    world = World{};
    world.gravity = 0;
    Tlevelrow row = levelrow(levelnumber);
    mancount = row.mancount;
    trailitems = CreateList<Ttrailitem>();
    for (int k = 1; k <= mancount; ++k) {
        Tman* figure = loadfigure(*this, k, row.big && k == 2 ? 1.0 : 0.5);
        if (!figure) return;
        figure->team = k;
        figure->dimmed = k >= 2 ? 1 : 0;
        figure->speed = 6.0f;
        figure->target = RandomInt(random, 0, mainballcount - 1);
        figure->aidelay = row.aidelay;
        world.figures.push_back(figure);
    }
    addmainball(*this, 40, 5);
    buildarena(row.arena);
    state = "normal";
    bannertime = 120;
    bannertext = "   LEVEL " + std::to_string(levelnumber) + "   ";
}

void Tmatch::setupcustom(const Tcustomsettings& c) {
    world = World{};
    trailitems = CreateList<Ttrailitem>();
    // The contact history has room for four figures.
    mancount = std::clamp(c.players, 2, 4);
    for (int k = 1; k <= mancount; ++k) {
        Tman* figure = loadfigure(*this, k, 0.5);
        if (!figure) return;
        figure->dimmed = k >= 2 ? 1 : 0;
        figure->team = k;
        figure->speed = float(c.playerspeed);
        // AI level 15 reacts on the present, level 0 on what happened half a second ago.
        figure->aidelay = std::clamp(30 - 2 * c.ailevel, 0, HISTORY - 1);
        world.figures.push_back(figure);
    }
    finishsettings(*this, c.gravity, c.ballsize, c.ballmass, c.arenanumber);
}

void Tmatch::setupmultiplayer(const Tmultisettings& mp) {
    world = World{};
    trailitems = CreateList<Ttrailitem>();
    // Three key sets and the pads: up to four people (the contact history has room for four).
    mancount = std::clamp(mp.players, 2, 4);
    for (int k = 1; k <= mancount; ++k) {
        Tman* figure = loadfigure(*this, k, 0.5);
        if (!figure) return;
        figure->team = k;
        figure->speed = float(mp.playerspeed);
        world.figures.push_back(figure);
    }
    finishsettings(*this, mp.gravity, mp.ballsize, mp.ballmass, mp.arenanumber);
}
