// Keyboard steering: a held key pushes the figure's first ball; the body follows through its
// links.
#include "match/match.h"
#include "physics/man.h"
#include "runtime/keyboard.h"

namespace {

struct Keyset {
    int left, right, up, down;
};

constexpr Keyset keysets[3] = {{KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN},
                               {KEY_A, KEY_D, KEY_W, KEY_S},
                               {KEY_J, KEY_L, KEY_I, KEY_K}};

} // namespace

void steer(Tman& m, int keyset) {
    const Keyset& k = keysets[keyset];
    bool left = KeyDown(k.left), right = KeyDown(k.right), up = KeyDown(k.up),
         down = KeyDown(k.down);
    Tball& ball = *m.balls.front();
    // The arrow keys keep a diagonal about as strong as a straight push; the letter sets of
    // the second and third player push full strength on both axes.
    float diagonal = keyset == 0 ? 0.707f * m.speed : m.speed;
    float across = (up || down) ? diagonal : m.speed;
    float along = (left || right) ? diagonal : m.speed;
    if (left) ball.vx -= across;
    if (right) ball.vx += across;
    if (up) ball.vy -= along;
    if (down) ball.vy += along;
}
