// Human steering: a held direction pushes the figure's first ball; the body follows through
// its links.
#include "match/match.h"
#include "physics/man.h"

void steer(Tman& m, const FigureInput& in) {
    Tball& ball = *m.balls.front();
    // The arrow keys keep a diagonal about as strong as a straight push; the letter sets of
    // the second and third player push full strength on both axes.
    float diagonal = in.diagonal ? 0.707f * m.speed : m.speed;
    float across = (in.up || in.down) ? diagonal : m.speed;
    float along = (in.left || in.right) ? diagonal : m.speed;
    if (in.left) ball.vx -= across;
    if (in.right) ball.vx += across;
    if (in.up) ball.vy -= along;
    if (in.down) ball.vy += along;
}
