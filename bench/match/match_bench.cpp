// How fast the match runs without drawing. Run from anywhere: it works in a temporary folder
// that links to the game's media.
#include "gamefolder.h"
#include "match/match.h"
#include "match/playerinput.h"
#include "match/snapshot.h"
#include "physics/man.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/pads.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <string>

namespace {

// Headless runtime on a virtual clock, in a temporary folder with the game's figure.
void startonce() {
    static bool started = false;
    if (started) return;
    started = true;
    StartWithSurface(VideoMode::None);
}

// One frame of a level: body preparation, steering of every figure (figure 1 by the computer
// rule too, as a busy player), the physics step, possession, contacts, obstacles and walls.
void levelframe(benchmark::State& state) {
    startonce();
    Tmatch m;
    SeedRandom(m.random, 99);
    m.mode = "levels";
    m.level = int(state.range(0));
    m.autopilot = 10;
    m.setuplevel(m.level);
    if (m.setupfailed) std::abort();
    m.man(1).aidelay = m.autopilot;
    for (auto _ : state) m.simulate();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(levelframe)
    ->Arg(1)
    ->Arg(9)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Saving and restoring a level's whole state, as a rollback does: after 300 frames of play
// with the medium trail, and, with the second argument 1, after a win with fireworks bursting.
void snapshot(benchmark::State& state) {
    startonce();
    Tmatch m;
    SeedRandom(m.random, 99);
    m.screenwidth = 1024;
    m.screenheight = 768;
    m.autopilot = 10;
    m.trail = 1;
    m.fireworks = 1;
    if (!m.startgame("levels", int(state.range(0)), nullptr, nullptr, {})) std::abort();
    for (int f = 0; f < 300; ++f) {
        m.input = MatchInput{};
        m.input.fillbar1 = state.range(1) == 1 && f == 100;
        m.playframe(false);
    }
    MatchSnapshot saved;
    for (auto _ : state) {
        savesnapshot(m, saved);
        restoresnapshot(m, saved);
    }
    state.counters["bursts"] = m.rockets->count();
    state.counters["blobs"] = m.trailitems->count();
}
BENCHMARK(snapshot)
    ->Args({1, 0})
    ->Args({9, 0})
    ->Args({9, 1})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A four-figure multiplayer game as online play has them, just begun, and its figures'
// steering: each turns one way, then the other, then goes straight, 20 frames at a time.
void startfourfigures(Tmatch& m) {
    SeedRandom(m.random, 99);
    m.screenwidth = 1024;
    m.screenheight = 768;
    m.trail = 1;
    Tmultisettings multi;
    multi.players = 4;
    if (!m.startgame("multiplayer", 1, &multi, nullptr, {})) std::abort();
}

MatchInput steering(long f) {
    MatchInput in;
    for (int k = 0; k < 4; ++k) in.figures[k] = {(f / 20 + k) % 3 == 0, (f / 20 + k) % 3 == 1};
    return in;
}

// A rollback of online play at its deepest: a four-figure multiplayer game put back eight
// frames and those frames played again undrawn, the snapshot of each taken as it goes.
void rollback8(benchmark::State& state) {
    startonce();
    Tmatch m;
    startfourfigures(m);
    for (long f = 0; f < 300; ++f) {
        m.input = steering(f);
        m.playframe(false);
    }
    std::array<MatchSnapshot, 9> ring;
    savesnapshot(m, ring[0]);
    for (auto _ : state) {
        restoresnapshot(m, ring[0]);
        for (int f = 0; f < 8; ++f) {
            if (f > 0) savesnapshot(m, ring[size_t(f)]);
            m.input = steering(300 + f);
            m.playframe(false);
        }
    }
}
BENCHMARK(rollback8)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// A late watcher or a returning machine catching up: a five-minute four-figure multiplayer game
// (18 000 frames) played from its first frame without drawing, as fast as it goes. The
// counter says at which frame someone won (0: nobody in those five minutes).
void catchup(benchmark::State& state) {
    startonce();
    long won = 0;
    for (auto _ : state) {
        Tmatch m;
        startfourfigures(m);
        for (long f = 0; f < 18000; ++f) {
            m.input = steering(f);
            m.playframe(false);
            if (m.winner != 0 && won == 0) won = f;
        }
    }
    state.counters["won"] = double(won);
}
BENCHMARK(catchup)->Iterations(1)->Repetitions(3)->Unit(benchmark::kSecond)->UseRealTime();

// What reading the frame's input costs, with the given number of pads plugged in: the keyboard
// and every pad of a four-player game.
void padsread(benchmark::State& state) {
    startonce();
    static int plugged = 0;
    Script script;
    for (int pad = plugged + 1; pad <= int(state.range(0)); ++pad)
        script.events.push_back({ScriptEvent::PadAttach, 0, 0, "BENCH PAD", pad, 0});
    plugged = std::max(plugged, int(state.range(0)));
    TestPlayScript(script);
    FlipFrame(-1);
    PlayerInput players;
    Tmatch m;
    m.mode = "multiplayer";
    for (auto _ : state) benchmark::DoNotOptimize(players.read(m));
    state.counters["pads"] = PadCount();
}
BENCHMARK(padsread)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The longest frame of a four-player game into which a pad is plugged: the pad's opening must
// not cost a frame (16.7 ms at 60 a second).
void plugduringplay(benchmark::State& state) {
    startonce();
    for (auto _ : state) {
        PlayerInput players;
        Tmatch m;
        m.screenwidth = 1024;
        m.screenheight = 768;
        m.source = &players;
        Tmultisettings mp;
        mp.players = 4;
        if (!m.startgame("multiplayer", 1, &mp, nullptr, {})) std::abort();
        double longest = 0;
        for (int f = 0; f < 30; ++f) {
            if (f == 10) {
                Script script;
                script.events.push_back({ScriptEvent::PadAttach, 0, 0, "LATE PAD", 9, 0});
                TestPlayScript(script);
            }
            const auto start = std::chrono::steady_clock::now();
            m.playframe();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
        }
        state.counters["longest_frame_ms"] = longest;
        Script script;
        script.events.push_back({ScriptEvent::PadDetach, 0, 0, "", 9, 0});
        TestPlayScript(script);
        FlipFrame(-1);
    }
}
BENCHMARK(plugduringplay)->Iterations(5)->Unit(benchmark::kMillisecond);

// Closes each result screen at once, so the campaign goes on to the next level.
class CampaignMatch : public Tmatch {
  public:
    void updatestate() override {
        Tmatch::updatestate();
        if (state != "normal") TestKeyDown(KEY_ENTER);
    }
};

// All forty levels played by the autopilot on the virtual clock, nothing drawn. Reports how
// many times faster than real time (60 frames a second) the campaign runs.
void campaign(benchmark::State& state) {
    startonce();
    for (auto _ : state) {
        long frames = 0;
        int won = 0;
        auto start = std::chrono::steady_clock::now();
        for (int level = 1; level <= 40; ++level) {
            FlushKeys();
            CampaignMatch m;
            SeedRandom(m.random, level);
            m.screenwidth = 1024;
            m.screenheight = 768;
            m.autopilot = 0;
            std::array<int, 4> wins{};
            if (m.rungame("levels", level, nullptr, nullptr, wins) == 1) ++won;
            frames += m.frame;
        }
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["frames"] = double(frames);
        state.counters["levels_won"] = won;
        state.counters["x_realtime"] = frames / 60.0 / seconds;
    }
}
BENCHMARK(campaign)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
