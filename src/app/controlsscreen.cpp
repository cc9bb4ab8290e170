// The CONTROLS screen: every player's keys (or buttons of their pad), one line each, rebound by
// choosing the line and pressing the new key. A key already used by another player or action
// is refused with a message saying where it is used, so no two things ever share a key.
#include "app/app.h"
#include "app/menuwidgets.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/pads.h"
#include "runtime/random.h"

namespace {

// A line of the screen: a player's action, or (action RUMBLE or RESET) the two others.
constexpr int RUMBLE = -1, RESET = -2;
struct ControlLine {
    int player, action;
};

std::vector<ControlLine> controllines() {
    std::vector<ControlLine> lines;
    for (int p = 1; p <= CONTROL_PLAYERS; ++p)
        for (int a = 0; a < CONTROL_ACTIONS; ++a)
            if (HasAction(p, a)) lines.push_back({p, a});
    lines.push_back({0, RUMBLE});
    lines.push_back({0, RESET});
    return lines;
}

std::string linetext(const Controls& c, const ControlLine& l) {
    if (l.action == RUMBLE) return std::string("RUMBLE= ") + (c.rumble ? "ON" : "OFF");
    if (l.action == RESET) return "RESET DEFAULTS";
    return "PLAYER " + std::to_string(l.player) + " " + ActionName(l.action) + "= " +
           BindingName(c.of(l.player, l.action));
}

// The next key or pad button pressed, as a binding; unbound when none was. F12 takes
// screenshots and is never bound.
Binding nextpress() {
    Binding b;
    for (int code = 1; code < 256 && !b.bound(); ++code)
        if (KeyHits(code) && code != KEY_F12) b.key = code;
    for (int button = 0; button < PAD_BUTTONS && !b.bound(); ++button)
        if (PadHits(ANY_PAD, button)) b.button = button;
    return b;
}

// Lines at scale 0.15 u from y = 135 u (below the title), 26 u apart: the whole list fits at
// every size, with the message line under it.
constexpr float linescale = 0.15f, firsty = 135, spacing = 26, messagey = 705;

} // namespace

void Tapp::controlsscreen() {
    FlushKeys();
    Controls& c = players.controls;
    const std::vector<ControlLine> lines = controllines();
    const int count = static_cast<int>(lines.size());
    const float u = layoutunit(screenwidth);
    int highlighted = 0;
    bool waiting = false;
    std::string message;
    for (;;) {
        ClearScreen();
        animatecolours(GameRandom(), colours, colourspeeds, colourrows);
        drawtitle("CONTROLS", colours[1], screenwidth);
        std::vector<MenuLine> entries;
        for (int i = 0; i < count; ++i) {
            const bool asking = waiting && i == highlighted;
            entries.push_back(
                {asking ? "PRESS A KEY OR A BUTTON (ESC CANCELS)" : linetext(c, lines[i]),
                 linescale, firsty + spacing * i});
        }
        drawentries(entries, highlighted, colours[2], screenwidth);
        SetDrawColor(255, 255, 255);
        drawcentred(message, 0.2f * u, messagey * u, screenwidth);
        SetDrawScale(1, 1);
        presentframe();

        const ControlLine& line = lines[highlighted];
        if (waiting) {
            const Binding pressed = nextpress();
            if (!pressed.bound()) continue;
            waiting = false;
            message.clear();
            if (pressed.key == KEY_ESCAPE || pressed.button == PAD_B) continue;
            const auto [player, action] = BindingUsed(c, pressed, line.player, line.action);
            if (player != 0) {
                message = BindingName(pressed) + " IS USED BY PLAYER " + std::to_string(player) +
                          " " + ActionName(action);
            } else {
                c.bindings[line.player - 1][line.action] = pressed;
            }
            continue;
        }
        if (line.action == RUMBLE) c.rumble = clampvalue(adjustvalue(c.rumble, 1), 0, 1) == 1;
        highlighted = movehighlight(highlighted, count);
        if (escapepressed()) break;
        if (!confirmpressed()) continue;
        if (lines[highlighted].action == RESET) {
            const bool rumble = c.rumble;
            c = DefaultControls();
            c.rumble = rumble;
            message = "THE DEFAULT KEYS ARE BACK";
        } else if (lines[highlighted].action != RUMBLE) {
            waiting = true;
            message.clear();
        }
    }
    savecontrols();
}
