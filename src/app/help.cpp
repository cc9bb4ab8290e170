// The help page: the keys of the three players and the rule of the game, all in the colour of
// row 2 so the whole page changes colour together.
#include "app/app.h"
#include "app/menuwidgets.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"

namespace {

const std::vector<MenuLine>& helplines() {
    static const std::vector<MenuLine> lines = {
        {"PLAYER 1: ARROW KEYS", 0.3f, 180},
        {"PLAYER 2: W,A,S,D", 0.3f, 230},
        {"PLAYER 3: I,J,K,L", 0.3f, 280},
        {"P: PAUSE", 0.3f, 330},
        {"ESC: PREVIOUS MENU / QUIT", 0.3f, 380},
        {"THE GOAL OF THE GAME IS TO KEEP THE BALL OF YOUR COLOR", 0.15f, 530},
        {"WHEN YOU TOUCH THE BALL IT BECOMES OF YOUR COLOR", 0.15f, 570},
        {"WHEN THE BALL IS YOUR COLOR, YOUR COLOR BAR ON THE TOP OF THE SCREEN INCREASES", 0.15f,
         610},
        {"WHEN YOUR COLOR BAR REACHES THE END, YOU WIN", 0.15f, 650},
    };
    return lines;
}

} // namespace

void Tapp::showhelp() {
    // A key still held from the main menu must not close the page at once.
    FlushKeys();
    const float u = layoutunit(screenwidth);
    for (;;) {
        ClearScreen();
        animatecolours(colours, colourspeeds, colourrows);
        drawtitle("VANTORIX", colours[1], screenwidth);
        setrowcolour(colours[2]);
        for (const MenuLine& line : helplines()) {
            drawcentred(line.text, line.scale * u, line.y * u, screenwidth);
        }
        SetDrawScale(1, 1);
        presentframe();
        // Both are asked every frame, so a press of either is used up here.
        const bool escape = escapepressed();
        const bool confirm = confirmpressed();
        if (escape || confirm) return;
    }
}
