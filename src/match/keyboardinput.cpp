// The keyboard as the match's input source. The reads happen where the game has always made
// them: the pause and the keys of the frame at its pause check, Escape after the frame was
// shown, so a scripted run sees every key in the same frame as before.
#include "match/input.h"
#include "match/match.h"
#include "match/routines.h"
#include "runtime/clock.h"
#include "runtime/keyboard.h"

namespace {

struct Keyset {
    int left, right, up, down;
    bool diagonal;
};

constexpr Keyset keysets[3] = {{KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, true},
                               {KEY_A, KEY_D, KEY_W, KEY_S, false},
                               {KEY_J, KEY_L, KEY_I, KEY_K, false}};

// P pauses everything but the clock. The loop sleeps between checks so a paused game does
// not load the CPU; a close request still ends the program.
void waitwhilepaused() {
    for (;;) {
        checkclose();
        if (KeyHits(KEY_P) || KeyHits(KEY_ESCAPE)) return;
        Delay(5);
    }
}

class KeyboardInput : public InputSource {
  public:
    MatchInput read(const Tmatch& match) override {
        MatchInput in;
        in.pause = KeyHits(KEY_P) != 0;
        if (in.pause && match.pausable()) waitwhilepaused();
        for (int k = 0; k < 3; ++k) {
            const Keyset& set = keysets[k];
            in.figures[k] = {KeyDown(set.left) != 0, KeyDown(set.right) != 0, KeyDown(set.up) != 0,
                             KeyDown(set.down) != 0, set.diagonal};
        }
        in.fillbar1 = KeyDown(KEY_1) && KeyDown(KEY_4);
        in.fillbar2 = KeyDown(KEY_1) && KeyDown(KEY_5);
        in.enter = KeyDown(KEY_ENTER) != 0;
        in.space = KeyDown(KEY_SPACE) != 0;
        // Only the name entry takes characters; everywhere else they wait in the queue.
        if (match.state == "gameover") in.typed = GetChar();
        return in;
    }
    bool leaving(const Tmatch&) override { return KeyDown(KEY_ESCAPE) != 0; }
    void flush() override { FlushKeys(); }
    void discardpresses() override {
        while (GetChar() != 0) {
        }
        for (int key :
             {KEY_P, KEY_ENTER, KEY_ESCAPE, KEY_SPACE, KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN})
            while (KeyHits(key) != 0) {
            }
    }
};

} // namespace

InputSource& keyboardinput() {
    static KeyboardInput keyboard;
    return keyboard;
}
