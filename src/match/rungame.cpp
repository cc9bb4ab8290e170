// The frame loop of one game. The order of the steps is part of the game: the solvers,
// contact tests and random draws depend on it, and a recorded game replays only if it holds.
#include "effects/burst.h"
#include "effects/colourdrift.h"
#include "effects/trailitem.h"
#include "match/match.h"
#include "match/routines.h"
#include "match/soundeffects.h"
#include "match/synctest.h"
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

// Figure 1 is the player's (or the autopilot's); in multiplayer each further figure has its
// own player, otherwise the computer steers them.
void steerfigures(Tmatch& m) {
    if (m.autopilot >= 0) {
        retarget(m.man(1), m.mainballcount, m.random);
        aisteer(m.man(1), *m.mainballs[m.man(1).target]);
    } else {
        steer(m.man(1), m.input.figures[0]);
    }
    for (int i = 1; i < m.mancount; ++i) {
        Tman& figure = m.man(i + 1);
        if (m.mode == "multiplayer") {
            steer(figure, m.input.figures[i]);
        } else {
            retarget(figure, m.mainballcount, m.random);
            aisteer(figure, *m.mainballs[figure.target]);
        }
    }
}

void drawplay(const Tmatch& m) {
    const Camera cam = m.camera();
    for (int k = 1; k <= m.mancount; ++k) m.man(k).draw(cam);
    for (int b = 0; b < m.mainballcount; ++b) m.mainballs[b]->draw(cam);
}

} // namespace

void Tmatch::simulate() {
    stepworld(
        world,
        [this] {
            for (int b = 0; b < mainballcount; ++b) mainballs[b]->record();
            steerfigures(*this);
        },
        [this] {
            checktouches();
            collidefigures();
        });
}

// The order of the steps is the game's: each draws its random numbers in turn.
void Tmatch::advance() {
    requests = Sourcerequests{};
    animatecolours(random, colours, colourspeeds, 10);
    drift(random, gridcolour, gridcolourspeed);
    backcamera = camera();
    updatefireworks();
    updatecamera();
    simulate();
    for (int b = 0; b < mainballcount; ++b) mainballs[b]->paint();
    updatetrail();
    updatebars();
    if (bannertime >= 0) bannertime -= 1;
    updatestate();
}

void Tmatch::draw() const {
    ClearScreen();
    drawbackground();
    drawplay(*this);
    drawtrail();
    drawbars();
    drawbanner(0.5);
    drawresults();
}

void Tmatch::playframe(bool shown) {
    // The input first, so the state it is read in is the state the frame starts from (what
    // a snapshot, a recording's hash and a rollback see); reading draws no random number.
    if (shown) checkpause();
    const int owner = mainballs[0]->owner;
    if (synctest) synctest->before(*this);
    advance();
    if (synctest && !synctest->after(*this)) {
        input.leave = true; // what follows would test nothing
        return;
    }
    if (trace) trace->line(*this);
    if (!shown) return;
    if (requests.flush) source->flush();
    if (requests.discard) source->discardpresses();
    // A pad may rumble in the hands of the player whose figure just took the ball.
    if (mainballs[0]->owner != owner) source->took(*this, mainballs[0]->owner);
    draw();
    drawpadnotices();
    if (listener) listener->hear(*this);
    restartmusic(musicchannel, sounds, musicvolume / 10.0f);
    checkclose();
    FlipFrame(-1);
    waitframe();
    input.leave = source->leaving(*this);
}

bool Tmatch::startgame(const std::string& gamemode, int levelnumber, const Tmultisettings* multi,
                       const Tcustomsettings* custom, const std::array<int, 4>& wins) {
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
        return false; // nothing was built, so nothing can be played
    }
    if (setupfailed) return false;
    for (int i = 0; i < mancount; ++i) man(i + 1).wins = wins[i];
    if (autopilot >= 0) man(1).aidelay = std::clamp(autopilot, 0, HISTORY - 1);
    trailitems = CreateList<Ttrailitem>();
    rockets = CreateList<Tburst>();
    starttime = Millisecs();
    if (trace) trace->header(*this);
    return true;
}

int Tmatch::rungame(const std::string& gamemode, int levelnumber, const Tmultisettings* multi,
                    const Tcustomsettings* custom, std::array<int, 4>& wins) {
    if (!startgame(gamemode, levelnumber, multi, custom, wins)) return -1;
    do {
        playframe();
    } while (!input.leave && state != "end");
    return state == "end" && winner != 0 ? winner : -1;
}
