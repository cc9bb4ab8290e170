// The match object's life: creation, and the state machine that finds the winner and shows
// the result screens while play goes on underneath.
#include "effects/burst.h"
#include "effects/colourdrift.h"
#include "effects/trailitem.h"
#include "match/match.h"
#include "physics/arena.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/clock.h"

Tmatch::Tmatch() : lastframe(Millisecs()) {}

Tmatch::~Tmatch() = default;

namespace {

// Holding 1 with 4 (or 1 with 5) fills figure 1's (or figure 2's) bar past the goal: a quick
// way to reach the result screens when trying the game out.
void applyshortcuts(Tmatch& m) {
    if (m.input.fillbar1) m.man(1).bar = m.goal + 10;
    if (m.input.fillbar2 && m.mancount >= 2) m.man(2).bar = m.goal + 10;
}

// Every figure past the goal wins; when two pass in one frame both get the win counted and
// the later one in figure order is named the winner.
void findwinner(Tmatch& m) {
    for (int i = 0; i < m.mancount; ++i) {
        Tman& man = m.man(i + 1);
        if (man.bar <= m.goal) continue;
        man.wins = onemorewin(man.wins);
        m.winner = i + 1;
        if (m.mode == "custom" || m.mode == "multiplayer") {
            m.state = "tellwinner";
        } else if (m.mode == "levels") {
            if (m.winner == 1) {
                m.state = "levelcompleted";
                m.scorelevel();
            } else {
                m.state = "gameover";
            }
        }
        m.stateframe = m.frame;
    }
}

} // namespace

void Tmatch::updatestate() {
    applyshortcuts(*this);
    frame += 1;
    drift(random, textcolour, textcolourspeed);
    if (state == "normal") findwinner(*this);
    // The three screens are tested in this order on purpose: a level-40 win turns into the
    // game-over screen within the same frame, and both are shown in it.
    screens = Shownscreens{};
    if (state == "levelcompleted") {
        screens.levelcompleted = frame - stateframe;
        requests.discard = true;
        if (input.enter || input.space) {
            if (level >= LASTLEVEL) {
                state = "gameover";
                // The key that closed the level screen must not also close the name entry.
                flushinput();
            } else {
                state = "end";
            }
        }
    }
    if (state == "tellwinner") {
        screens.tally = frame - stateframe;
        if (input.enter || input.space) state = "end";
    }
    if (state == "gameover") {
        screens.gameover = frame - stateframe;
        entername(frame - stateframe);
        if (input.enter) state = "end";
        bool nameentry = score > 0 && score > entrythreshold;
        if (input.space && !nameentry) state = "end";
    }
}
