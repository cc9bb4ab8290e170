// The demo: the computer plays the levels on figure 1 with everything drawn, saving a
// screenshot to shots/ every three seconds of game time and moving on by itself from each
// result screen, so it runs unattended in a window or headless.
#include "app/app.h"
#include "match/levels.h"
#include "match/match.h"
#include "match/routines.h"
#include "runtime/screenshot.h"
#include <cstdio>
#include <filesystem>

namespace {

constexpr long shotinterval = 180; // frames: three seconds at 60 per second
constexpr int resultframes = 360;  // a result screen shows for six seconds
constexpr int demodelay = 4;       // reaction delay of the demo's player

// A levels match that leaves its result screens by itself and photographs the game.
class DemoMatch : public Tmatch {
  public:
    explicit DemoMatch(long& frames) : demoframes(frames) {}

    void updatestate() override {
        Tmatch::updatestate();
        if (state != "normal" && state != "end" && frame - stateframe >= resultframes) {
            state = "end";
        }
    }
    // The frame just drawn is kept every shotinterval frames.
    void draw() const override {
        Tmatch::draw();
        if (++demoframes % shotinterval == 0) {
            char path[64];
            std::snprintf(path, sizeof path, "shots/shot-%04ld.png", demoframes / shotinterval);
            SaveScreenshot(path);
        }
    }

  private:
    long& demoframes; // frames of the whole demo, across its matches
};

} // namespace

void Tapp::playdemo() {
    std::error_code ec;
    std::filesystem::create_directories("shots", ec);
    if (prefs.musicvolume > 0) startmusic(sounds, musicchannel, prefs.musicvolume / 10.0f);
    std::array<int, 4> wins = {};
    long frames = 0;
    int level = 1;
    int carried = 0;
    for (;;) {
        DemoMatch match(frames);
        configurematch(match);
        if (match.autopilot < 0) match.autopilot = demodelay;
        match.startscore = carried;
        match.score = carried;
        const int r = match.rungame("levels", level, nullptr, nullptr, wins);
        endmatch(match);
        if (r == -1) break; // Escape
        // Won: on to the next level (after level 40 from the start again); lost: level 1.
        const bool next = r == 1 && level < LASTLEVEL;
        carried = next ? match.score : 0;
        level = next ? level + 1 : 1;
    }
    stopmusic(musicchannel);
}
