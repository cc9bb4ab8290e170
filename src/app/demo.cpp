// The demo: the computer plays the levels on figure 1 with everything drawn, while a generated
// input script saves a screenshot every three seconds of game time and confirms each result
// screen, so it runs unattended in a window or headless.
#include "app/demo.h"
#include "app/app.h"
#include "match/match.h"
#include "match/routines.h"
#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {
constexpr long shotinterval = 180;  // frames: three seconds at 60 per second
constexpr long enterinterval = 420; // a result screen shows for up to seven seconds
constexpr int demodelay = 4;        // reaction delay of the demo's player
} // namespace

std::string demoscript(long frames) {
    // Without a frame limit the script covers an hour of play; after that the demo goes on
    // without screenshots.
    const long length = frames >= 0 ? frames : 60L * 60 * 60;
    std::ostringstream out;
    out << "# demo: screenshots and result-screen confirmations\n";
    long shot = 0;
    for (long f = 1; f <= length; ++f) {
        if (f % shotinterval == 0) {
            char name[64];
            std::snprintf(name, sizeof name, "shots/shot%04ld.png", ++shot);
            out << f << " shot " << name << "\n";
        }
        if (f % enterinterval == 0) out << f << " tap 13\n";
    }
    return out.str();
}

std::string writedemoscript(long frames) {
    std::error_code ec;
    std::filesystem::create_directories("shots", ec);
    const std::string path = "shots/demo-script.txt";
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) return "";
    const std::string text = demoscript(frames);
    const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok ? path : "";
}

void Tapp::playdemo() {
    if (prefs.musicvolume > 0) {
        startmusic(sounds, musicchannel, prefs.musicvolume / 10.0f);
    }
    std::array<int, 4> wins = {};
    int level = 1;
    int carried = 0;
    for (;;) {
        std::unique_ptr<Tmatch> match = newmatch();
        if (match->autopilot < 0) match->autopilot = demodelay;
        match->startscore = carried;
        match->score = carried;
        const int r = match->rungame("levels", level, nullptr, nullptr, wins);
        if (r == -1) break; // Escape
        // Won: on to the next level (after 40 the campaign starts over); lost: from level 1.
        carried = r == 1 && level < 40 ? match->score : 0;
        level = r == 1 && level < 40 ? level + 1 : 1;
    }
    stopmusic(musicchannel);
}
