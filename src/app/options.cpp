// The options screen: the five settings the preferences file keeps, then those of the
// settings file (the sound-effects volume, line 6 at 525 u; the line that opens the CONTROLS
// screen, line 7 at 580 u; TEAM COLOURS, line 8 at 635 u; the line that opens the ONLINE
// screen, line 9 at 690 u), 55 u apart from y = 250 u. Leaving always writes both files; the
// display is reopened only when its mode really changed, compared on leaving, so going
// 3 -> 1 -> 3 before leaving costs no reload.
#include "app/app.h"
#include "app/settingsscreen.h"
#include "match/rollback.h"
#include "runtime/text.h"

// The rendezvous server, typed in: HOST:PORT, or nothing for none.
void Tapp::serverscreen() {
    std::string server = settings.server;
    const std::vector<std::string> hints = {"HOST:PORT OF A VANTORIX SERVER, EMPTY FOR NONE",
                                            "ENTER: KEEP   ESCAPE: BACK"};
    while (typeline("SERVER:", server, hints) == TYPED) {
        if (server.empty() || server.find(':') != std::string::npos) {
            settings.server = server;
            return;
        }
    }
}

// OPTIONS' ONLINE: the input delay, and the server that lets machines meet by room code.
void Tapp::onlineoptions() {
    SettingsScreen screen;
    screen.confirmanywhere = true;
    screen.settings = {
        {"INPUT DELAY= ",
         &settings.inputdelay,
         -1,
         MAXINPUTDELAY,
         0.3f,
         300,
         1,
         {"AUTO", "NONE", "1 FRAME", "2 FRAMES", "3 FRAMES", "4 FRAMES"}},
        {"", nullptr, 0, 0, 0.3f, 380, 1, {}, nullptr, [this] { serverscreen(); }},
    };
    screen.notes = {{"WITH A SERVER, A HOSTED GAME GETS A ROOM CODE", 0.15f, 500},
                    {"AND A FRIEND JOINS BY IT, WITHOUT OPENING A PORT", 0.15f, 540}};
    screen.everyframe = [this](SettingsScreen& s) {
        s.settings.back().label =
            "SERVER: " +
            (settings.server.empty() ? std::string("NONE") : UpperCase(settings.server));
    };
    runsettings(screen, colours, colourspeeds, colourrows, screenwidth);
}

void Tapp::options() {
    const int oldfullscreen = prefs.fullscreen;
    const int oldresolution = prefs.resolution;
    SettingsScreen screen;
    screen.confirmanywhere = true;
    screen.settings = {
        {"FULL SCREEN= ", &prefs.fullscreen, 0, 1, 0.3f, 250},
        {"SCREEN RESOLUTION= ",
         &prefs.resolution,
         1,
         3,
         0.3f,
         305,
         1,
         {"640 x 480", "800 x 600", "1024 x 768"}},
        {"TRAIL= ", &prefs.trail, 0, 2, 0.3f, 360, 1, {"NONE", "MEDIUM QUALITY", "HIGH QUALITY"}},
        {"FIREWORKS= ", &prefs.fireworks, 0, 1, 0.3f, 415},
        {"MUSIC VOLUME= ", &prefs.musicvolume, 0, 10, 0.3f, 470},
        {"SOUND EFFECTS= ", &settings.soundeffects, 0, 10, 0.3f, 525},
        {"CONTROLS", nullptr, 0, 0, 0.3f, 580, 1, {}, nullptr, [this] { controlsscreen(); }},
        {"TEAM COLOURS= ",
         &settings.teamcolours,
         0,
         1,
         0.3f,
         635,
         1,
         {"STANDARD", "COLOUR-BLIND SAFE"}},
        {"ONLINE", nullptr, 0, 0, 0.3f, 690, 1, {}, nullptr, [this] { onlineoptions(); }},
    };
    runsettings(screen, colours, colourspeeds, colourrows, screenwidth);
    saveprefs();
    savesettings();
    seteffectsvolume();
    if (prefs.fullscreen != oldfullscreen || prefs.resolution != oldresolution) {
        setupdisplay(prefs.fullscreen, prefs.resolution, 1);
    }
}
