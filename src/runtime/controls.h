// What each player presses. Every player has the four directions; player 1 also the pause,
// the confirm key of the menus and result screens, and the key that goes back (and leaves a
// game). Each action is bound to a key or to a button of the player's own pad; a pad's d-pad
// and stick always steer its player as well, whatever is bound.
#pragma once
#include <string>
#include <utility>

enum ControlAction : int {
    CONTROL_UP,
    CONTROL_DOWN,
    CONTROL_LEFT,
    CONTROL_RIGHT,
    CONTROL_PAUSE,
    CONTROL_CONFIRM,
    CONTROL_BACK,
    CONTROL_ACTIONS
};
constexpr int CONTROL_PLAYERS = 4;

struct Binding {
    int key = 0;     // a virtual-key code, 0 for none
    int button = -1; // or a PadButton of the player's pad, -1 for none

    bool bound() const { return key != 0 || button >= 0; }
    bool operator==(const Binding&) const = default;
};

struct Controls {
    Binding bindings[CONTROL_PLAYERS][CONTROL_ACTIONS]; // player 1 at 0
    bool rumble = true; // a short rumble when the player's figure takes the main ball

    const Binding& of(int player, int action) const { return bindings[player - 1][action]; }
    bool operator==(const Controls&) const = default;
};

// The game's own keys: arrows for player 1 (P pauses, Enter confirms, Escape goes back), W A S D
// for player 2, I J K L for player 3, nothing for player 4 (a pad's player).
Controls DefaultControls();
// Whether the player (1..4) has the action: the directions for all, the others for player 1.
bool HasAction(int player, int action);
// The other place the binding is used already, as (player, action); (0, 0) when it is free.
// A pad button may serve several players, each on their own pad; A, B, Start and the d-pad
// are every pad's confirm, back, pause and directions, and never free.
std::pair<int, int> BindingUsed(const Controls& controls, const Binding& binding, int player,
                                int action);
// The text a key or button is shown by: "A", "UP", "ENTER", "PAD START".
std::string KeyName(int code);
std::string PadButtonName(int button);
std::string BindingName(const Binding& binding);
// The action's name on screens and in controls.txt: "UP", "PAUSE", ...
const char* ActionName(int action);
