// The main menu: the title and six entries, Up and Down with wrap-around, Enter or Space to
// choose, Escape to leave the game.
#include "app/app.h"
#include "app/menuwidgets.h"
#include "effects/colourdrift.h"
#include "runtime/clock.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace {

// The entries at scale 0.6 u, at y = 20 u + 80 u x k for k = 2 (first) to 7 (last).
std::vector<MenuLine> mainentries() {
    const char* texts[] = {"SINGLE PLAYER", "MULTIPLAYER", "OPTIONS", "SCORES", "HELP", "QUIT"};
    std::vector<MenuLine> lines;
    for (int i = 0; i < 6; ++i) lines.push_back({texts[i], 0.6f, 20.0f + 80.0f * (i + 2)});
    return lines;
}

// With no key for this long the menu shows a game by itself (ms).
constexpr int ATTRACTIDLE = 30000;

} // namespace

int Tapp::mainmenu(int highlight) {
    FlushKeys();
    resetcolourspeeds(colourspeeds, colourrows);
    const std::vector<MenuLine> lines = mainentries();
    int lastinput = Millisecs();
    for (;;) {
        ClearScreen();
        animatecolours(GameRandom(), colours, colourspeeds, colourrows);
        drawtitle("VANTORIX", colours[1], screenwidth);
        drawentries(lines, highlight, colours[2], screenwidth);
        highlight = movehighlight(highlight, static_cast<int>(lines.size()));
        presentframe();
        if (escapepressed()) EndProgram(0);
        if (confirmpressed()) return highlight;
        if (AnyInput()) {
            lastinput = Millisecs();
        } else if (Millisecs() - lastinput >= ATTRACTIDLE) {
            attract();
            lastinput = Millisecs();
        }
    }
}
