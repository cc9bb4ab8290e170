// The rules applied every frame: possession of the main ball, the colour bars, contacts
// between figures, the pause and the frame limiter.
#include "match/match.h"
#include "match/routines.h"
#include "physics/collide.h"
#include "physics/constants.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/clock.h"
#include "runtime/random.h"

// The main ball takes the colour of the figure that touches it. The tests start at a random
// figure and always make four, so when several figures touch at once the last one tested
// keeps the ball and nobody is favoured by their number.
void Tmatch::checktouches() {
    mainballs[0]->idle += 1;
    for (int b = 0; b < mainballcount; ++b) {
        Tmainball& ball = *mainballs[b];
        int s = RandomInt(random, 0, mancount - 1);
        for (int j = s; j < s + 4; ++j) {
            Tman& m = man(j % mancount + 1);
            if (collideobjects(m, *mainballbodies[b], BOUNCEKICK)) {
                ball.idle = 0;
                ball.owner = m.team;
            }
        }
    }
}

// Figures that have been in contact for STUCKFRAMES frames in a row have probably got tangled up;
// instead of bouncing they are kicked apart until one frame passes without contact.
void Tmatch::collidefigures() {
    for (int i = 0; i < mancount; ++i) {
        for (int j = i + 1; j < mancount; ++j) {
            bool stuck = true;
            for (int c = STUCKFRAMES; c >= 1; --c) {
                contacthistory[c][i][j] = contacthistory[c - 1][i][j];
                if (contacthistory[c][i][j] == 0) stuck = false;
            }
            double kick = stuck ? SEPARATINGKICK : BOUNCEKICK;
            contacthistory[0][i][j] = collideobjects(man(i + 1), man(j + 1), kick) ? 1 : 0;
        }
    }
}

// Each frame the owner's bar grows by one, until somebody has won.
void Tmatch::updatebars() {
    if (winner == 0) {
        for (int k = 1; k <= mancount; ++k) {
            for (int b = 0; b < mainballcount; ++b) {
                if (mainballs[b]->owner == man(k).team) man(k).bar += 1.0f;
            }
        }
    }
}

// The frame's input, read once before anything is drawn; a P press (where it pauses) has
// paused the game inside the read, so the keys of the frame are those after the pause.
void Tmatch::checkpause() {
    input = source->read(*this);
}

void Tmatch::flushinput() {
    requests.flush = true;
    const bool pause = input.pause;
    input = MatchInput{};
    input.pause = pause;
}

// At most 63 frames a second, on top of the display's own pacing.
// The clock wraps after 2^32 ms, so the elapsed time is taken modulo that.
void Tmatch::waitframe() {
    auto elapsed = [this] { return int(unsigned(Millisecs()) - unsigned(lastframe)); };
    while (elapsed() < 1000.0 / 63) Delay(1);
    lastframe = Millisecs();
}
