// Watching an online series from another machine: the host sends each game's start and its
// final records from the game's first frame, and this machine plays them as a replay that is
// still being recorded. Far behind (joining late, or held up for more than two seconds) it
// plays without drawing as fast as it can behind a "CATCHING UP" bar; then it follows the game
// a few frames behind, drawn and heard. It never sends a key, so the players cannot tell it is
// there but for the count of machines watching.
#include "app/app.h"
#include "app/replays.h"
#include "effects/colourdrift.h"
#include "match/match.h"
#include "match/recordedinput.h"
#include "match/routines.h"
#include "net/link.h"
#include "net/watching.h"
#include "runtime/dialog.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/text.h"

namespace {

constexpr long CATCHUP = 120; // frames behind (two seconds) that call for catching up
constexpr long FOLLOW = 3;    // frames behind the newest that a caught-up spectator plays
// Run dry, a spectator waits for this many frames (or this long) before it goes on.
constexpr long CUSHION = 4;
constexpr long long CUSHION_MS = 100;
constexpr long long CATCHUPSLICE_MS = 15; // of play without drawing between two pictures
constexpr int WAITSTEP_MS = 10;           // a look at the network while nothing is there to play

// The received records handed to the match one a frame (a recording keeps them as this
// machine's replay of the game). Escape leaves.
class Following : public InputSource {
  public:
    explicit Following(const Spectator::Game& game) : game_(game) {}
    MatchInput read(const Tmatch&) override {
        const InputRun& run = game_.replay.runs[run_];
        const MatchInput in = run.input();
        if (++inrun_ == long(run.count)) ++run_, inrun_ = 0;
        ++played_;
        recordleave_ = in.leave;
        return in;
    }
    bool leaving(const Tmatch&) override {
        if (escapepressed()) left = true;
        return left || recordleave_;
    }
    void flush() override {}
    void discardpresses() override {}
    long played() const { return played_; }
    long behind() const { return game_.frames - played_; }

    bool left = false; // this machine's watcher left with Escape

  private:
    const Spectator::Game& game_;
    size_t run_ = 0;
    long inrun_ = 0, played_ = 0;
    bool recordleave_ = false;
};

// Until the first game's start comes; false when the watching ends first (said) or Escape.
bool waitforgame(Tapp& app, Spectator& spectator, const std::string& where) {
    for (spectator.pump(); !spectator.hasgame(); spectator.pump()) {
        if (spectator.ended()) {
            Notify("vantorix: " + spectator.failure(), 1);
            return false;
        }
        ClearScreen();
        animatecolours(GameRandom(), app.colours, app.colourspeeds, app.colourrows);
        drawtitle("VANTORIX", app.colours[1], app.screenwidth);
        const std::array<int, 3> lit = highlightcolour(app.colours[2]);
        SetDrawColor(lit[0], lit[1], lit[2]);
        drawcentred("WAITING FOR THE GAME TO BEGIN", 0.4f, 400, app.screenwidth);
        SetDrawColor(100, 100, 100);
        drawcentred(UpperCase(where) + "   ESCAPE: BACK", 0.15f, 480, app.screenwidth);
        if (spectator.watching() > 0)
            drawcentred(watchingtext(spectator.watching()), 0.15f, 560, app.screenwidth);
        presentframe();
        if (escapepressed()) return false;
        spectator.transport().wait(WAITSTEP_MS);
    }
    return true;
}

// One game, from its first frame to its end (or the end of the watching). True when the series
// goes on to its next game.
bool watchgame(Tapp& app, Spectator& spectator) {
    const Spectator::Game& game = spectator.current();
    Replay start = game.replay;
    start.runs.clear();
    Following input(game);
    RecordingInput recorder(input);
    recorder.replay = start;
    Tmatch match;
    app.configurematch(match);
    setupfrom(start, match);
    match.source = &recorder;
    if (!match.startgame(start.start.mode, start.start.level, &start.start.multi,
                         &start.start.custom, start.wins)) {
        return false; // the figure file's own message was said
    }
    auto keepreplay = [&] {
        if (!recorder.replay.runs.empty()) savereplay(recorder.replay, app.tools);
    };
    bool catching = true, heard = false;
    long long drysince = 0; // when the records ran out, 0 while there are some
    try {
        for (;;) {
            spectator.pump();
            match.notice = watchingtext(spectator.watching());
            const bool dry = input.behind() == 0;
            if (dry && spectator.ended()) {
                keepreplay();
                stopmusic(match.musicchannel);
                Notify("vantorix: " + spectator.failure(), 1);
                return false;
            }
            if (dry && drysince == 0) drysince = NetNow();
            // Nothing to play yet (the game paused, the network slow), or, after running dry,
            // too little to go on smoothly (the host sends a few frames at a time): the same
            // picture.
            if (dry || (!catching && drysince != 0 && input.behind() < CUSHION &&
                        NetNow() - drysince < CUSHION_MS)) {
                if (catching) drawcatchingup(input.played(), game.frames, app.screenwidth);
                if (!catching) match.draw(), match.drawpadnotices(), presentframe();
                if (escapepressed()) input.left = true;
                if (input.left) break;
                spectator.transport().wait(WAITSTEP_MS);
                continue;
            }
            drysince = 0;
            catching = catching || input.behind() > CATCHUP;
            if (catching) {
                const long long until = NetNow() + CATCHUPSLICE_MS;
                while (input.behind() > FOLLOW && NetNow() < until && match.state != "end" &&
                       !match.input.leave) {
                    match.input = recorder.read(match);
                    match.playframe(false);
                }
                catching = input.behind() > FOLLOW && match.state != "end" && !match.input.leave;
                drawcatchingup(input.played(), game.frames, app.screenwidth);
                if (escapepressed()) input.left = true;
            } else {
                if (!heard && match.musicvolume > 0)
                    startmusic(match.sounds, match.musicchannel, match.musicvolume / 10.0f);
                heard = true;
                match.playframe();
            }
            if (match.state == "end" || match.input.leave || input.left) break;
        }
    } catch (const ProgramEnd&) {
        keepreplay();
        throw;
    }
    stopmusic(match.musicchannel);
    keepreplay();
    app.endmatch(match);
    if (input.left) return false;
    if (match.state != "end") {
        Notify("vantorix: A PLAYER LEFT THE GAME", 1);
        return false;
    }
    return true;
}

} // namespace

bool Tapp::watchonline(const std::string& where) {
    std::unique_ptr<Link> link = reach(where, Reaching::Watch);
    if (!link) return false;
    Spectator spectator(std::move(link), {VANTORIX_VERSION, gamefigures()});
    if (!waitforgame(*this, spectator, where)) return true;
    while (watchgame(*this, spectator)) {
        spectator.nextgame();
        if (!waitforgame(*this, spectator, where)) break;
    }
    FlushKeys();
    return true;
}
