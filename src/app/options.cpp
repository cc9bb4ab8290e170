// The options screen: the five settings the preferences file keeps, then those of the
// settings file (the sound-effects volume, line 6 at 560 u; the line that opens the CONTROLS
// screen, line 7 at 620 u; TEAM COLOURS, line 8 at 680 u), 60 u apart from y = 260 u. Leaving
// always writes both files; the display is reopened only when its mode really changed,
// compared on leaving, so going 3 -> 1 -> 3 before leaving costs no reload.
#include "app/app.h"
#include "app/settingsscreen.h"

void Tapp::options() {
    const int oldfullscreen = prefs.fullscreen;
    const int oldresolution = prefs.resolution;
    SettingsScreen screen;
    screen.confirmanywhere = true;
    screen.settings = {
        {"FULL SCREEN= ", &prefs.fullscreen, 0, 1, 0.3f, 260},
        {"SCREEN RESOLUTION= ",
         &prefs.resolution,
         1,
         3,
         0.3f,
         320,
         1,
         {"640 x 480", "800 x 600", "1024 x 768"}},
        {"TRAIL= ", &prefs.trail, 0, 2, 0.3f, 380, 1, {"NONE", "MEDIUM QUALITY", "HIGH QUALITY"}},
        {"FIREWORKS= ", &prefs.fireworks, 0, 1, 0.3f, 440},
        {"MUSIC VOLUME= ", &prefs.musicvolume, 0, 10, 0.3f, 500},
        {"SOUND EFFECTS= ", &settings.soundeffects, 0, 10, 0.3f, 560},
        {"CONTROLS", nullptr, 0, 0, 0.3f, 620, 1, {}, nullptr, [this] { controlsscreen(); }},
        {"TEAM COLOURS= ",
         &settings.teamcolours,
         0,
         1,
         0.3f,
         680,
         1,
         {"STANDARD", "COLOUR-BLIND SAFE"}},
    };
    runsettings(screen, colours, colourspeeds, colourrows, screenwidth);
    saveprefs();
    savesettings();
    seteffectsvolume();
    if (prefs.fullscreen != oldfullscreen || prefs.resolution != oldresolution) {
        setupdisplay(prefs.fullscreen, prefs.resolution, 1);
    }
}
