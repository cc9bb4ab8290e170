// Start-up: everything in its fixed order, since each step needs the ones before it (the
// preferences decide the display mode; the splash needs the logo; the music loads last, with
// the logo still on the screen while its first second decodes; the rest follows in the background).
#include "app/app.h"
#include "runtime/folders.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/runtime.h"
#include "runtime/sound.h"
#include <cstdio>
#include <string>

void Tapp::loadeffects() {
    auto load = [](const char* name) {
        std::string problem;
        TSound sound = LoadSound(MediaPath(name), 0, &problem);
        if (!sound) std::fprintf(stderr, "vantorix: one sound is silent: %s\n", problem.c_str());
        return sound;
    };
    sounds[THUDSLOT] = load("thud.ogg");
    sounds[GOALSLOT] = load("goal.ogg");
    sounds[POPSLOT] = load("pop.ogg");
    menusounds.tick = load("tick.ogg");
    menusounds.confirm = load("confirm.ogg");
    usemenusounds(&menusounds);
}

void Tapp::seteffectsvolume() {
    menusounds.volume = matchsounds.volume = settings.soundeffects / 10.0f;
}

void Tapp::fullscreentoggled(int fullscreen) {
    prefs.fullscreen = fullscreen;
    saveprefs();
    if (fullscreen == 1) {
        HidePointer();
    } else {
        ShowPointer();
    }
}

void Tapp::run() {
    musicchannel = AllocChannel();
    WindowTitle("Vantorix");
    defaultscores(*scores);
    loadscores();
    FlushKeys();
    seedrandom();
    defaults();
    loadprefs();
    loadsettings();
    loadcontrols();
    seteffectsvolume();
    OnFullScreenToggle([this](int fullscreen) { fullscreentoggled(fullscreen); });
    setupdisplay(prefs.fullscreen, prefs.resolution, 0);
    splash();
    // A game without its music still plays: one line says why it is silent.
    std::string problem;
    sounds[MUSICSLOT] = LoadSound(MediaPath("tutto.ogg"), 0, &problem);
    if (!sounds[MUSICSLOT])
        std::fprintf(stderr, "vantorix: playing without music: %s\n", problem.c_str());
    loadeffects();

    switch (launch.kind) {
    case Launch::Levels:
        initiallevel = launch.level;
        playlevels();
        break;
    case Launch::Custom:
        // The settings asked for stay in the custom screen for the games that follow.
        customsettings = launch.custom;
        playcustom(customsettings);
        break;
    case Launch::Multiplayer:
        multisettings = launch.multi;
        playmultiplayer(multisettings);
        break;
    case Launch::Demo:
        playdemo();
        return;
    case Launch::Replay:
        EndProgram(watchreplay(launch.replay));
    // Asked for on the command line, an online game that cannot even start (the port in use,
    // an unknown host) ends the run with a failure rather than showing the menu.
    case Launch::Host:
        multisettings = launch.multi;
        if (!playonline(true, launch.port, "")) EndProgram(1);
        break;
    case Launch::Join:
        if (!playonline(false, 0, launch.join)) EndProgram(1);
        break;
    case Launch::Watch:
        if (!watchonline(launch.join)) EndProgram(1);
        break;
    case Launch::Menu:
        break;
    }

    // The menu reopens with the entry last chosen highlighted.
    int entry = SINGLEPLAYER;
    for (;;) {
        entry = mainmenu(entry);
        if (entry == QUIT) return;
        dispatch(entry);
    }
}
