// How a player's keys read on the screens; see keystext.h.
#include "app/keystext.h"

// "ARROW KEYS", "W,A,S,D", or the player's keys as up, left, down, right; "" without keys.
std::string keystext(const Controls& c, int player) {
    const int order[4] = {CONTROL_UP, CONTROL_LEFT, CONTROL_DOWN, CONTROL_RIGHT};
    const Controls defaults = DefaultControls();
    bool arrows = player == 1, keys = true;
    std::string text;
    for (int a : order) {
        const Binding& b = c.of(player, a);
        arrows = arrows && b == defaults.of(1, a);
        keys = keys && b.bound();
        if (!text.empty()) text += ",";
        text += BindingName(b);
    }
    if (!keys) return "";
    return arrows ? "ARROW KEYS" : text;
}
