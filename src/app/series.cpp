// The series drivers: one new match per game, the win tally carried from game to game, and in
// the levels campaign the carried score, the unlock of every fifth level and the high-score
// entry, each written to its file at once so a later crash or close cannot lose them.
#include "app/app.h"
#include "match/levels.h"
#include "match/match.h"
#include "match/routines.h"
#include "match/synctest.h"
#include "runtime/dialog.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

void Tapp::configurematch(Tmatch& match) {
    match.musicvolume = prefs.musicvolume;
    match.fireworks = prefs.fireworks;
    match.showfireworks = prefs.fireworks == 1;
    match.trail = prefs.trail;
    match.teamcolours = settings.teamcolours;
    match.screenwidth = screenwidth;
    match.screenheight = screenheight;
    match.musicchannel = musicchannel;
    match.sounds = sounds;
    matchsounds.sounds = sounds;
    match.listener = &matchsounds;
    static_cast<Tmatchmedia&>(match) = *this;
    match.source = &players;
    match.autopilot = tools.autopilot;
    match.trace = tools.trace;
    match.synctest = tools.synctest;
    // A game goes on with the numbers the last one (or the menus) left.
    match.random = GameRandom();
}

void Tapp::endmatch(const Tmatch& match) {
    GameRandom() = match.random;
    endonsyncfailure();
}

void Tapp::endonsyncfailure() const {
    if (!tools.synctest || tools.synctest->failure().empty()) return;
    Notify("vantorix: synctest: " + tools.synctest->failure(), 1);
    EndProgram(1);
}

namespace {

void beginseries(const Tapp& app) {
    if (app.prefs.musicvolume > 0) {
        startmusic(app.sounds, app.musicchannel, app.prefs.musicvolume / 10.0f);
    }
}

// A tally series: the same settings game after game until one is left with Escape.
template <class Play> void tallyseries(Tapp& app, Play play) {
    std::array<int, 4> wins = {};
    beginseries(app);
    for (;;) {
        Tmatch match;
        app.configurematch(match);
        const int r = play(match, wins);
        if (r < 1 || r > 4) break;
        wins[r - 1] = onemorewin(wins[r - 1]);
    }
    stopmusic(app.musicchannel);
}

} // namespace

void Tapp::playcustom(const Tcustomsettings& settings) {
    MatchStart start;
    start.custom = settings;
    tallyseries(*this, [&](Tmatch& match, std::array<int, 4>& wins) {
        return playrecorded(match, start, wins);
    });
}

void Tapp::playmultiplayer(const Tmultisettings& settings) {
    MatchStart start;
    start.mode = "multiplayer";
    start.multi = settings;
    tallyseries(*this, [&](Tmatch& match, std::array<int, 4>& wins) {
        return playrecorded(match, start, wins);
    });
}

void Tapp::playlevels() {
    std::array<int, 4> wins = {};
    beginseries(*this);
    int level = initiallevel - 1;
    int carried = 0;
    int r = 0;
    do {
        level += 1;
        Tmatch match;
        configurematch(match);
        match.entrythreshold = scorethreshold(*scores);
        match.startscore = carried;
        match.score = carried;
        MatchStart start;
        start.mode = "levels";
        start.level = level;
        r = playrecorded(match, start, wins);
        carried = match.score;
        if (r == 1 && level % UNLOCKSTEP == 0 && level < LASTLEVEL) {
            // The unlock replaces whatever was unlocked before, even a higher level.
            prefs.unlockedlevel = level + 1;
            initiallevel = level + 1;
            saveprefs();
        }
        if ((r != 1 && r != -1) || level >= LASTLEVEL) {
            if (!match.name.empty()) {
                addscore(match.name, match.score, *scores);
                savescores();
            }
        }
    } while (r == 1 && level < LASTLEVEL);
    stopmusic(musicchannel);
}
