// The keyboard and the pads as the match's input source. The reads happen where the game has
// always made them: the pause and the keys of the frame at its pause check, Escape after the
// frame was shown, so a scripted run sees every key in the same frame as before.
#include "match/playerinput.h"
#include "match/match.h"
#include "match/routines.h"
#include "runtime/clock.h"
#include "runtime/keyboard.h"
#include "runtime/pads.h"

namespace {

// 1 while the key or the button of one of the pads is held.
bool held(const Binding& b, const std::vector<int>& pads) {
    if (b.key != 0 && KeyDown(b.key)) return true;
    if (b.button >= 0)
        for (int pad : pads)
            if (PadDown(pad, b.button)) return true;
    return false;
}

int hits(const Binding& b) {
    int n = b.key != 0 ? KeyHits(b.key) : 0;
    if (b.button >= 0) n += PadHits(ANY_PAD, b.button);
    return n;
}

// A player with the arrow keys or a pad pushes a diagonal by 0.707 on each axis; the letter
// sets of players 2 and 3 push it full strength on both.
constexpr bool keydiagonal[5] = {false, true, false, false, true};

} // namespace

std::vector<int> PlayerInput::padsof(const Tmatch& match, int figure) const {
    std::vector<int> found;
    if (match.mode == "multiplayer") {
        if (int pad = pads.padof(figure)) found.push_back(pad);
    } else if (figure == 1) {
        for (int n = 1; n <= PadCount(); ++n)
            if (PadPlugged(n)) found.push_back(n);
    }
    return found;
}

MatchInput PlayerInput::read(const Tmatch& match) {
    MatchInput in;
    const Binding& pause = controls.of(1, CONTROL_PAUSE);
    in.pause = hits(pause) != 0;
    if (PadHits(ANY_PAD, PAD_START)) in.pause = true;
    if (in.pause && match.pausable() && pausewaits) {
        // Everything but the clock waits; the loop sleeps between checks so a paused game
        // does not load the CPU, and a close request still ends the program.
        for (;;) {
            checkclose();
            if (hits(pause) || hits(controls.of(1, CONTROL_BACK)) || PadHits(ANY_PAD, PAD_START) ||
                PadHits(ANY_PAD, PAD_B))
                break;
            Delay(5);
        }
    }
    // Everything else of the frame as of one moment, with the events delivered once.
    EventBatch batch;
    pads.update();
    for (int k = 1; k <= 4; ++k) {
        const std::vector<int> steering = padsof(match, k);
        FigureInput& f = in.figures[k - 1];
        f.left = held(controls.of(k, CONTROL_LEFT), steering);
        f.right = held(controls.of(k, CONTROL_RIGHT), steering);
        f.up = held(controls.of(k, CONTROL_UP), steering);
        f.down = held(controls.of(k, CONTROL_DOWN), steering);
        f.diagonal = keydiagonal[k];
        for (int pad : steering) {
            const bool l = PadDown(pad, PAD_LEFT), r = PadDown(pad, PAD_RIGHT);
            const bool u = PadDown(pad, PAD_UP), d = PadDown(pad, PAD_DOWN);
            f.left = f.left || l, f.right = f.right || r, f.up = f.up || u, f.down = f.down || d;
            if (l || r || u || d) f.diagonal = true;
        }
    }
    in.fillbar1 = KeyDown(KEY_1) && KeyDown(KEY_4);
    in.fillbar2 = KeyDown(KEY_1) && KeyDown(KEY_5);
    in.enter = held(controls.of(1, CONTROL_CONFIRM), {}) || PadDown(ANY_PAD, PAD_A);
    in.space = KeyDown(KEY_SPACE) != 0;
    in.clock = sincestart(match);
    // Only the name entry takes characters; everywhere else they wait in the queue.
    if (match.state == "gameover") {
        in.typed = GetChar();
        in.pick = PadHits(ANY_PAD, PAD_UP) - PadHits(ANY_PAD, PAD_DOWN);
        in.next = PadHits(ANY_PAD, PAD_RIGHT) != 0;
    }
    return in;
}

bool PlayerInput::leaving(const Tmatch&) {
    return held(controls.of(1, CONTROL_BACK), {}) || PadDown(ANY_PAD, PAD_B);
}

void PlayerInput::flush() {
    FlushKeys();
}

void PlayerInput::discardpresses() {
    while (GetChar() != 0) {
    }
    for (int key : {KEY_P, KEY_ENTER, KEY_ESCAPE, KEY_SPACE, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN})
        while (KeyHits(key) != 0) {
        }
    for (int action = 0; action < CONTROL_ACTIONS; ++action) hits(controls.of(1, action));
    for (int button = 0; button < PAD_BUTTONS; ++button) PadHits(ANY_PAD, button);
}

void PlayerInput::took(const Tmatch& match, int figure) {
    if (!controls.rumble) return;
    for (int pad : padsof(match, figure)) PadRumble(pad, 150);
}

bool PlayerInput::padlost(const Tmatch& match, int figure) const {
    return match.mode == "multiplayer" && pads.lost(figure);
}

PlayerInput& defaultinput() {
    static PlayerInput players;
    return players;
}
