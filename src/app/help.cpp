// The help page: the players' keys as they are bound now, the pads, and the rule of the game,
// all in the colour of row 2 so the whole page changes colour together.
#include "app/app.h"
#include "app/keystext.h"
#include "app/menuwidgets.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"

namespace {

// The keys as they are bound now (the game's own ones unless rebound on CONTROLS).
std::vector<MenuLine> helplines(const Controls& c) {
    auto player = [&](int p) {
        const std::string keys = keystext(c, p);
        return "PLAYER " + std::to_string(p) + ": " + (keys.empty() ? "PAD ONLY" : keys);
    };
    std::vector<MenuLine> lines = {
        {player(1), 0.3f, 180},
        {player(2), 0.3f, 230},
        {player(3), 0.3f, 280},
        {BindingName(c.of(1, CONTROL_PAUSE)) + ": PAUSE", 0.3f, 330},
        {BindingName(c.of(1, CONTROL_BACK)) + ": PREVIOUS MENU / QUIT", 0.3f, 380},
        {"THE GOAL OF THE GAME IS TO KEEP THE BALL OF YOUR COLOR", 0.15f, 530},
        {"WHEN YOU TOUCH THE BALL IT BECOMES OF YOUR COLOR", 0.15f, 570},
        {"WHEN THE BALL IS YOUR COLOR, YOUR COLOR BAR ON THE TOP OF THE SCREEN INCREASES", 0.15f,
         610},
        {"WHEN YOUR COLOR BAR REACHES THE END, YOU WIN", 0.15f, 650},
    };
    if (!keystext(c, 4).empty()) lines.push_back({player(4), 0.2f, 430});
    lines.push_back(
        {"PADS: STICK OR D-PAD STEERS, A CONFIRMS, B GOES BACK, START PAUSES", 0.15f, 470});
    return lines;
}

} // namespace

void Tapp::showhelp() {
    // A key still held from the main menu must not close the page at once.
    FlushKeys();
    const float u = layoutunit(screenwidth);
    for (;;) {
        ClearScreen();
        animatecolours(GameRandom(), colours, colourspeeds, colourrows);
        drawtitle("VANTORIX", colours[1], screenwidth);
        setrowcolour(colours[2]);
        for (const MenuLine& line : helplines(players.controls)) {
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
