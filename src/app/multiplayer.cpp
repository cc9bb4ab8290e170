// The multiplayer setup: PLAY and six settings for two to four people at one keyboard and
// their pads, the lines that host or join an online game, and a line for every player saying
// what they play with. Four players need a
// pad (three key sets are all one keyboard has). The values stay for the next visit and are
// independent of the custom game's.
#include "app/app.h"
#include "app/keystext.h"
#include "app/settingsscreen.h"
#include "net/session.h"
#include "runtime/pads.h"
#include "runtime/text.h"

std::string Tapp::devicetext(int player) {
    std::string text = keystext(players.controls, player);
    const int pad = players.pads.padof(player);
    if (pad || players.pads.lost(player)) {
        if (!text.empty()) text += " + ";
        text += pad ? "PAD " + std::to_string(pad) + " (" + UpperCase(PadName(pad)) + ")"
                    : std::string("PAD UNPLUGGED");
    }
    std::string line = "PLAYER ";
    line += std::to_string(player);
    line += ": ";
    line += text.empty() ? std::string("NOTHING YET") : text;
    return line;
}

bool Tapp::multiplayersetup() {
    Tmultisettings& m = multisettings;
    SettingsScreen screen;
    screen.play = "PLAY";
    screen.playscale = 0.6f;
    screen.playy = 205;
    screen.settings = settinglines(multifields, m, 300);
    int mostplayers = 3;
    screen.settings[0].upper = &mostplayers;
    // Online: this machine hosts with the settings above (one player per machine), joins or
    // watches.
    screen.settings.push_back(
        {"HOST ONLINE GAME", nullptr, 0, 0, 0.22f, 600, 1, {}, nullptr, [this] {
             playonline(true, DEFAULTPORT, "");
         }});
    screen.settings.push_back(
        {"JOIN ONLINE GAME", nullptr, 0, 0, 0.22f, 634, 1, {}, nullptr, [this] {
             joinscreen(false);
         }});
    screen.settings.push_back(
        {"WATCH ONLINE GAME", nullptr, 0, 0, 0.22f, 668, 1, {}, nullptr, [this] {
             joinscreen(true);
         }});
    screen.everyframe = [&](SettingsScreen& s) {
        players.pads.update();
        bool pad = false;
        for (int n = 1; n <= PadCount(); ++n) pad = pad || PadPlugged(n);
        mostplayers = pad ? 4 : 3;
        s.notes.clear();
        for (int p = 1; p <= std::min(m.players, mostplayers); ++p)
            s.notes.push_back({devicetext(p), 0.13f, 708.0f + 17.0f * (p - 1)});
    };
    return runsettings(screen, colours, colourspeeds, colourrows, screenwidth) == MenuResult::Play;
}
