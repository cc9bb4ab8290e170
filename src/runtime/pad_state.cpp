// One pad's state; see pad_state.h.
#include "runtime/pad_state.h"
#include <cmath>

int StickDirection(int x, int y) {
    if (std::hypot(double(x), double(y)) <= STICK_DEAD_ZONE) return 0;
    // Degrees clockwise from up, 0 to 360.
    double angle = std::atan2(double(x), -double(y)) * 180.0 / 3.14159265358979323846;
    if (angle < 0) angle += 360;
    return static_cast<int>(std::floor((angle + 22.5) / 45.0)) % 8 + 1;
}

void PadState::button(int button, bool down) {
    if (button < 0 || button >= PAD_BUTTONS) return;
    reported_[button] = down;
    settle();
}

void PadState::axis(int which, int value) {
    if (which < 0 || which > 1) return;
    stick_[which] = value;
    settle();
}

void PadState::flush() {
    for (int b = 0; b < PAD_BUTTONS; ++b) {
        blocked_[b] = shown_[b] || blocked_[b];
        shown_[b] = false;
        presses_[b] = 0;
    }
}

int PadState::hits(int button) {
    if (button < 0 || button >= PAD_BUTTONS) return 0;
    const int n = presses_[button];
    presses_[button] = 0;
    return n;
}

int PadState::down(int button) const {
    return button >= 0 && button < PAD_BUTTONS && shown_[button] ? 1 : 0;
}

void PadState::settle() {
    // Directions 1..8 as the four they hold: up, up-right, right, ... up-left.
    static constexpr bool along[9][4] = {
        {false, false, false, false}, {true, false, false, false}, {true, false, false, true},
        {false, false, false, true},  {false, true, false, true},  {false, true, false, false},
        {false, true, true, false},   {false, false, true, false}, {true, false, true, false}};
    const int direction = StickDirection(stick_[0], stick_[1]);
    for (int b = 0; b < PAD_BUTTONS; ++b) {
        bool held = reported_[b];
        if (b >= PAD_UP) held = held || along[direction][b - PAD_UP];
        if (!held) blocked_[b] = false;
        const bool shows = held && !blocked_[b];
        if (shows && !shown_[b]) ++presses_[b];
        shown_[b] = shows;
    }
}
