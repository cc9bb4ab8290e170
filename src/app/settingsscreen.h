// A menu screen of adjustable settings, optionally headed by a PLAY entry: the custom game,
// multiplayer, initial-level and options screens are all this one loop with their own lines.
#pragma once
#include "app/menuwidgets.h"
#include "match/settings.h"
#include <functional>
#include <string>
#include <vector>

struct Setting {
    std::string label;                   // drawn directly followed by the value text
    int* value;                          // edited in place; null for a line that opens a screen
    int lo, hi;                          // clamped into this range in every frame
    float scale, y;                      // in units of u
    int step = 1;                        // per press of Right or Left
    std::vector<std::string> names = {}; // value texts from lo upwards; decimal when empty
    const int* upper = nullptr;          // when set, read for hi in every frame
    std::function<void()> open = {};     // a line without a value: Enter opens this screen
};

struct SettingsScreen {
    std::string play; // the PLAY entry above the settings; empty for none
    float playscale = 0, playy = 0;
    std::vector<Setting> settings;
    std::vector<MenuLine> notes; // grey lines that are never highlighted
    // Called at the start of every frame: notes and limits that follow what is plugged in.
    std::function<void(SettingsScreen&)> everyframe = {};
    // Enter and Space leave from any line (the options screen) instead of only from PLAY.
    bool confirmanywhere = false;
};

enum class MenuResult { Play, Back };

// The lines of a settings record from its table, at scale 0.25 u, the first at y u and each
// next one 50 u lower.
template <class Settings, size_t N>
std::vector<Setting> settinglines(const Tsettingfield<Settings> (&fields)[N], Settings& record,
                                  float y) {
    std::vector<Setting> lines;
    for (const auto& f : fields) {
        lines.push_back({f.label, &(record.*(f.field)), f.lo, f.hi, 0.25f, y});
        y += 50;
    }
    return lines;
}

// The text of one setting line as drawn: label and value.
std::string settingtext(const Setting& s);

// Runs the screen until PLAY is confirmed or it is left. The colour table is animated every
// frame; its speeds are the caller's to reset.
MenuResult runsettings(SettingsScreen& screen, float colours[][3], float speeds[][3], int rows,
                       int screenwidth);
