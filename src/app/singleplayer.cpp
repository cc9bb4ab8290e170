// The single-player branch: a two-entry menu, then the initial-level screen before the levels
// campaign or the custom-settings screen before a custom series. Back on a settings screen
// leads to the main menu, not to the single-player menu.
#include "app/app.h"
#include "app/menuwidgets.h"
#include "app/settingsscreen.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"

namespace {

enum SingleChoice { BACK, LEVELS, CUSTOM };

// A settings screen of its own: three rows rising from black every time it opens.
struct LocalColours {
    float colours[3][3] = {};
    float speeds[3][3] = {};
    LocalColours() { resetcolourspeeds(speeds, 3); }
};

int singleplayermenu(Tapp& app) {
    FlushKeys();
    resetcolourspeeds(app.colourspeeds, app.colourrows);
    const std::vector<MenuLine> lines = {{"PLAY LEVELS", 0.5f, 300}, {"PLAY CUSTOM", 0.5f, 400}};
    int highlight = 0;
    for (;;) {
        ClearScreen();
        animatecolours(GameRandom(), app.colours, app.colourspeeds, app.colourrows);
        drawtitle("VANTORIX", app.colours[1], app.screenwidth);
        drawentries(lines, highlight, app.colours[2], app.screenwidth);
        presentframe();
        highlight = movehighlight(highlight, 2);
        if (escapepressed()) return BACK;
        if (confirmpressed()) return highlight == 0 ? LEVELS : CUSTOM;
    }
}

// Starts are offered in steps of 5 up to the highest unlocked one.
MenuResult initiallevelscreen(Tapp& app) {
    LocalColours table;
    SettingsScreen screen;
    screen.play = "PLAY";
    screen.playscale = 0.6f;
    screen.playy = 240;
    screen.settings.push_back(
        {"INITIAL LEVEL= ", &app.initiallevel, 1, app.prefs.unlockedlevel, 0.25f, 340, UNLOCKSTEP});
    screen.notes.push_back({"(INITIAL LEVELS ARE UNLOCKED EVERY 5 LEVELS)", 0.15f, 440});
    return runsettings(screen, table.colours, table.speeds, 3, app.screenwidth);
}

MenuResult customscreen(Tapp& app) {
    LocalColours table;
    Tcustomsettings& c = app.customsettings;
    SettingsScreen screen;
    screen.play = "PLAY";
    screen.playscale = 0.6f;
    screen.playy = 190;
    screen.settings = settinglines(customfields, c, 290);
    return runsettings(screen, table.colours, table.speeds, 3, app.screenwidth);
}

} // namespace

void Tapp::singleplayer() {
    switch (singleplayermenu(*this)) {
    case LEVELS:
        if (initiallevelscreen(*this) == MenuResult::Play) playlevels();
        break;
    case CUSTOM:
        if (customscreen(*this) == MenuResult::Play) playcustom(customsettings);
        break;
    default:
        break;
    }
}
