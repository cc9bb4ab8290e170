// Motion histories: the last steps of figures and main balls, newest first. Computer figures
// react to these delayed positions (the delay is their reaction time).
#include "physics/mainball.h"
#include "physics/man.h"
#include <algorithm>

static void push(std::array<double, HISTORY>& history, double value) {
    std::copy_backward(history.begin(), history.end() - 1, history.end());
    history[0] = value;
}

void Tman::record() {
    computecentre();
    computevelocity();
    push(histx, centrex);
    push(histy, centrey);
    push(histvx, meanvx);
    push(histvy, meanvy);
}

void Tmainball::record() {
    push(histx, x);
    push(histy, y);
    push(histvx, vx);
    push(histvy, vy);
}
