// The frame loop of one game. The order of the steps is part of the game: the solvers,
// contact tests and random draws depend on it, and a recorded game replays only if it holds.
#include "effects/burst.h"
#include "effects/colourdrift.h"
#include "effects/trailitem.h"
#include "match/match.h"
#include "match/routines.h"
#include "match/trace.h"
#include "physics/arena.h"
#include "physics/collide.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/clock.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include <algorithm>

namespace {

void preparebodies(Tmatch& m) {
    for (ragobject* body : m.bodies) {
        body->setmasses();
        body->storeold();
    }
}

// Figure 1 is the player's (or the autopilot's); in multiplayer each further figure has its
// own key set, otherwise the computer steers them.
void steerfigures(Tmatch& m) {
    if (m.autopilot >= 0) {
        retarget(m.man(1), m.mainballcount);
        aisteer(m.man(1), *m.mainballs[m.man(1).target]);
    } else {
        steer(m.man(1), 0);
    }
    for (int i = 1; i < m.mancount; ++i) {
        Tman& figure = m.man(i + 1);
        if (m.mode == "multiplayer") {
            steer(figure, i);
        } else {
            retarget(figure, m.mainballcount);
            aisteer(figure, *m.mainballs[figure.target]);
        }
    }
}

void stepbodies(Tmatch& m) {
    for (ragobject* body : m.bodies) {
        body->integrate(m.timestep, m.gravity);
        body->pin();
        body->relax(m.timestep);
        body->updatevelocities(m.timestep);
    }
}

void collideobstaclesandwalls(Tmatch& m) {
    for (int k = 1; k <= m.mancount; ++k) collideobjects(*m.obstacles, m.man(k), -20);
    for (int b = 0; b < m.mainballcount; ++b)
        collideobjects(*m.mainballbodies[b], *m.obstacles, -20);
    for (ragobject* body : m.bodies) {
        if (body != m.obstacles.get()) body->collidearena(*m.bounds);
    }
}

void drawplay(Tmatch& m) {
    Camera cam{m.camerax, m.cameray, m.zoom, double(m.screenwidth), double(m.screenheight)};
    for (int k = 1; k <= m.mancount; ++k) m.man(k).draw(cam);
    for (int b = 0; b < m.mainballcount; ++b) m.mainballs[b]->draw(cam);
}

} // namespace

void Tmatch::simulate() {
    preparebodies(*this);
    for (int b = 0; b < mainballcount; ++b) mainballs[b]->record();
    steerfigures(*this);
    stepbodies(*this);
    checktouches();
    collidefigures();
    collideobstaclesandwalls(*this);
}

// One frame of play, drawing and state, in the game's fixed order.
static void playframe(Tmatch& m) {
    ClearScreen();
    animatecolours(m.colours, m.colourspeeds, 10);
    if (m.musicvolume > 0) restartmusic(m.musicchannel, m.sounds, m.musicvolume / 10.0f);
    m.checkpause();
    m.drawbackground();
    m.updatecamera();
    m.simulate();
    drawplay(m);
    m.updatetrail(m.zoom, m.camerax, m.cameray, m.screenwidth, m.screenheight);
    m.updatebars();
    m.drawbanner(0.5);
    m.updatestate();
    restartmusic(m.musicchannel, m.sounds, m.musicvolume / 10.0f);
    checkclose();
    FlipFrame(-1);
    m.waitframe();
}

int Tmatch::rungame(const std::string& gamemode, int levelnumber, const Tmultisettings* multi,
                    const Tcustomsettings* custom, std::array<int, 4>& wins) {
    resetcolourspeeds(colourspeeds, 10);
    level = levelnumber;
    mode = gamemode;
    if (mode == "levels") {
        setuplevel(level);
    } else if (mode == "custom" && custom) {
        setupcustom(*custom);
    } else if (mode == "multiplayer" && multi) {
        setupmultiplayer(*multi);
    } else {
        return -1; // nothing was built, so nothing can be played
    }
    if (setupfailed) return -1;
    for (int i = 0; i < mancount; ++i) man(i + 1).wins = wins[i];
    if (autopilot >= 0) man(1).aidelay = std::clamp(autopilot, 0, HISTORY - 1);
    trailitems = CreateList<Ttrailitem>();
    rockets = CreateList<Tburst>();
    starttime = Millisecs();
    if (trace) trace->header(*this);
    do {
        playframe(*this);
    } while (!KeyDown(KEY_ESCAPE) && state != "end");
    return state == "end" && winner != 0 ? winner : -1;
}
