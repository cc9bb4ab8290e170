// The players' bindings; see controls.h.
#include "runtime/controls.h"
#include "runtime/keyboard.h"
#include "runtime/pad_state.h"
#include <utility>

Controls DefaultControls() {
    Controls c;
    const int keys[3][4] = {{KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT},
                            {KEY_W, KEY_S, KEY_A, KEY_D},
                            {KEY_I, KEY_K, KEY_J, KEY_L}};
    for (int p = 0; p < 3; ++p)
        for (int a = 0; a < 4; ++a) c.bindings[p][a].key = keys[p][a];
    c.bindings[0][CONTROL_PAUSE].key = KEY_P;
    c.bindings[0][CONTROL_CONFIRM].key = KEY_ENTER;
    c.bindings[0][CONTROL_BACK].key = KEY_ESCAPE;
    return c;
}

bool HasAction(int player, int action) {
    return player >= 1 && player <= CONTROL_PLAYERS && action >= 0 &&
           (action <= CONTROL_RIGHT || (player == 1 && action < CONTROL_ACTIONS));
}

std::pair<int, int> BindingUsed(const Controls& controls, const Binding& binding, int player,
                                int action) {
    if (!binding.bound()) return {0, 0};
    // Every pad confirms with A, goes back with B, pauses with Start and steers with its d-pad:
    // those buttons are taken.
    std::pair<int, int> role{0, 0};
    if (binding.button == PAD_A) role = {1, CONTROL_CONFIRM};
    if (binding.button == PAD_B) role = {1, CONTROL_BACK};
    if (binding.button == PAD_START) role = {1, CONTROL_PAUSE};
    if (binding.button >= PAD_UP && binding.button <= PAD_RIGHT)
        role = {player, binding.button - PAD_UP + CONTROL_UP};
    if (role.first != 0 && role != std::pair{player, action}) return role;
    for (int p = 1; p <= CONTROL_PLAYERS; ++p) {
        for (int a = 0; a < CONTROL_ACTIONS; ++a) {
            if (!HasAction(p, a) || (p == player && a == action)) continue;
            const Binding& other = controls.of(p, a);
            const bool samekey = binding.key != 0 && other.key == binding.key;
            // Every player has a pad of their own: a button clashes only within one player.
            const bool samebutton =
                binding.button >= 0 && other.button == binding.button && p == player;
            if (samekey || samebutton) return {p, a};
        }
    }
    return {0, 0};
}

std::string KeyName(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, char(code));
    // Built in two steps: GCC 12 warns wrongly about a literal added to a temporary here.
    std::string name;
    if (code >= 112 && code <= 123) return name.append("F").append(std::to_string(code - 111));
    if (code >= 96 && code <= 105) return name.append("KEYPAD ").append(std::to_string(code - 96));
    switch (code) {
    case KEY_UP:
        return "UP";
    case KEY_DOWN:
        return "DOWN";
    case KEY_LEFT:
        return "LEFT";
    case KEY_RIGHT:
        return "RIGHT";
    case KEY_ENTER:
        return "ENTER";
    case KEY_ESCAPE:
        return "ESC";
    case KEY_SPACE:
        return "SPACE";
    case KEY_BACKSPACE:
        return "BACKSPACE";
    case KEY_TAB:
        return "TAB";
    case KEY_LSHIFT:
        return "LEFT SHIFT";
    case KEY_RSHIFT:
        return "RIGHT SHIFT";
    case KEY_LCONTROL:
        return "LEFT CTRL";
    case KEY_RCONTROL:
        return "RIGHT CTRL";
    case KEY_LALT:
        return "LEFT ALT";
    case KEY_RALT:
        return "RIGHT ALT";
    default:
        return name.append("KEY ").append(std::to_string(code));
    }
}

std::string PadButtonName(int button) {
    static const char* const names[PAD_BUTTONS] = {"A",     "B",  "X",    "Y",    "BACK",
                                                   "START", "UP", "DOWN", "LEFT", "RIGHT"};
    return button >= 0 && button < PAD_BUTTONS ? std::string("PAD ") + names[button] : "";
}

std::string BindingName(const Binding& binding) {
    if (binding.key != 0) return KeyName(binding.key);
    if (binding.button >= 0) return PadButtonName(binding.button);
    return "NONE";
}

const char* ActionName(int action) {
    static const char* const names[CONTROL_ACTIONS] = {"UP",    "DOWN",    "LEFT", "RIGHT",
                                                       "PAUSE", "CONFIRM", "BACK"};
    return action >= 0 && action < CONTROL_ACTIONS ? names[action] : "";
}
