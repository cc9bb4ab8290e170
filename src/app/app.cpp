// Tapp's construction, the preference operations it owns and the dispatch of the main menu.
#include "app/app.h"
#include "app/menuwidgets.h"
#include "persist/controls.h"
#include "runtime/clock.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/stream.h"

Tapp::Tapp() : scores(CreateList<Tscore>()) {}

Tapp::~Tapp() {
    // The menus must not play sounds that go with this object.
    usemenusounds(nullptr);
    OnFullScreenToggle(nullptr);
}

void Tapp::defaults() {
    ::defaults(prefs);
    initiallevel = 1;
}

void Tapp::loadprefs() {
    // The demo never asks the first-run question: it plays on the defaults until the player
    // has a preferences file of their own.
    if (launch.kind == Launch::Demo && !FileExists("prefs.txt")) {
        initiallevel = prefs.unlockedlevel;
        return;
    }
    // Cancel in the first-run question ends the program before anything is written.
    const PrefsStart start = ::loadprefs(prefs);
    if (start == PrefsStart::Quit) EndProgram(0);
    prefsunreadable = start == PrefsStart::Unreadable;
    initiallevel = prefs.unlockedlevel;
}

void Tapp::saveprefs() {
    if (!prefsunreadable) ::saveprefs(prefs);
}

void Tapp::loadsettings() {
    settingsunreadable = !::loadsettings(settings);
}

void Tapp::savesettings() {
    if (!settingsunreadable) ::savesettings(settings);
}

void Tapp::loadcontrols() {
    controlsunreadable = ::loadcontrols(controlsfile) == ControlsRead::Unreadable;
    players.controls = controlsfile.controls;
    usemenucontrols(players.controls);
}

void Tapp::savecontrols() {
    usemenucontrols(players.controls);
    // Only a change is written: the file may hold lines this game leaves as they are.
    if (controlsunreadable || players.controls == controlsfile.controls) return;
    controlsfile.controls = players.controls;
    ::savecontrols(controlsfile);
}

void Tapp::loadscores() {
    scoresunreadable = !::loadscores(*scores);
}

void Tapp::savescores() {
    if (!scoresunreadable) ::savescores(*scores);
}

void Tapp::seedrandom() {
    SeedRandom(tools.seeded ? tools.seed : Millisecs());
}

void Tapp::dispatch(int entry) {
    switch (entry) {
    case SINGLEPLAYER:
        singleplayer();
        break;
    case MULTIPLAYER:
        if (multiplayersetup()) playmultiplayer(multisettings);
        break;
    case OPTIONS:
        options();
        break;
    case SCORES:
        showscores();
        break;
    case HELP:
        showhelp();
        break;
    default:
        break;
    }
}
