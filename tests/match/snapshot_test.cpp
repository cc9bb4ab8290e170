// The game as a value: its input comes as one record per frame that can be kept and handed
// back, and its state can be saved and put back. Either way the same game must follow, bit for
// bit, as its trace shows.
#include "fixture.h"
#include "match/recordedinput.h"
#include "match/snapshot.h"
#include "match/synctest.h"
#include "match/trace.h"
#include "runtime/keyboard.h"
#include <vector>

namespace {

// A match that keeps its trace, one line per frame.
class TracedMatch : public KeyedMatch {
  public:
    void updatestate() override {
        Tmatch::updatestate();
        lines.push_back(traceline(*this));
    }
    std::vector<std::string> lines;
};

struct Game {
    const char* mode;
    int level;
    int players;
};

void startgame(Tmatch& m, const Game& g) {
    m.screenwidth = 1024;
    m.screenheight = 768;
    m.random = GameRandom();
    m.trail = 2;
    m.fireworks = 1;
    Tcustomsettings custom;
    custom.players = g.players;
    custom.arenanumber = 9;
    Tmultisettings multi;
    multi.players = g.players;
    multi.arenanumber = 5;
    ASSERT_TRUE(m.startgame(g.mode, g.level, &multi, &custom, {}));
}

// Keys for every human figure, turning at their own pace, and the shortcut that wins the game
// for figure 1 at the given frame (so fireworks burst from then on).
MatchInput generated(int frame, int winat) {
    MatchInput in;
    for (int k = 0; k < 3; ++k) {
        const int turn = (frame / (37 + 11 * k) + k) % 5;
        in.figures[k] = {turn == 0, turn == 2, turn == 1 || turn == 3, turn == 4, k == 0};
    }
    in.fillbar1 = frame == winat;
    return in;
}

// Two states of a game compared by what a restore must bring back.
void expectsame(const MatchSnapshot& got, const MatchSnapshot& want, const std::string& what) {
    EXPECT_EQ(got.match.random.state, want.match.random.state) << what;
    EXPECT_EQ(got.match.frame, want.match.frame) << what;
    ASSERT_EQ(got.balls.size(), want.balls.size()) << what;
    for (size_t i = 0; i < want.balls.size(); ++i) {
        EXPECT_EQ(got.balls[i].x, want.balls[i].x) << what << " ball " << i;
        EXPECT_EQ(got.balls[i].vy, want.balls[i].vy) << what << " ball " << i;
    }
    // The effects too: they draw random numbers and show what happened.
    ASSERT_EQ(got.rockets.size(), want.rockets.size()) << what;
    for (size_t i = 0; i < want.rockets.size(); ++i) {
        EXPECT_EQ(got.rockets[i].life, want.rockets[i].life) << what;
        EXPECT_EQ(got.rockets[i].sparks[7].z, want.rockets[i].sparks[7].z) << what;
    }
    ASSERT_EQ(got.trailitems.size(), want.trailitems.size()) << what;
    for (size_t i = 0; i < want.trailitems.size(); ++i) {
        EXPECT_EQ(got.trailitems[i].x, want.trailitems[i].x) << what << " blob " << i;
        EXPECT_EQ(got.trailitems[i].alpha, want.trailitems[i].alpha) << what << " blob " << i;
    }
}

using Snapshots = MatchFolder;

// For each mode: 600 frames, a snapshot in the middle of fireworks and a full trail, 300
// more frames, then back to the snapshot and the same 300 frames again, not shown.
TEST_F(Snapshots, RestoreAndTheSameInputsGiveTheSameGame) {
    for (const Game& g : {Game{"levels", 9, 4}, Game{"custom", 1, 4}, Game{"multiplayer", 1, 3}}) {
        std::vector<MatchInput> records;
        for (int f = 0; f < 900; ++f) records.push_back(generated(f, 450));
        ReplayInput replay(records);
        TracedMatch m;
        m.source = &replay;
        startgame(m, g);
        for (int f = 0; f < 600; ++f) m.playframe();
        ASSERT_GT(m.rockets->count(), 0) << g.mode << ": no fireworks to save";
        ASSERT_GE(m.trailitems->count(), 70) << g.mode; // two blobs a frame, 38 frames each
        MatchSnapshot saved, oneafter, end;
        savesnapshot(m, saved);
        for (int f = 600; f < 900; ++f) {
            m.playframe();
            if (f == 600) savesnapshot(m, oneafter);
        }
        const std::vector<std::string> first(m.lines.end() - 300, m.lines.end());
        savesnapshot(m, end);

        restoresnapshot(m, saved);
        EXPECT_EQ(m.frame, 600) << g.mode;
        MatchSnapshot replayed;
        for (int f = 600; f < 900; ++f) {
            m.input = records[f];
            m.playframe(false);
            if (f == 600) savesnapshot(m, replayed);
            if (f == 600) expectsame(replayed, oneafter, std::string(g.mode) + " one frame on");
        }
        const std::vector<std::string> again(m.lines.end() - 300, m.lines.end());
        EXPECT_EQ(again, first) << g.mode;
        savesnapshot(m, replayed);
        expectsame(replayed, end, std::string(g.mode) + " at the end");
    }
}

// A restore must put back what the frames in between changed, not only what they usually
// change: a snapshot taken before the win must take the win back.
TEST_F(Snapshots, RestoreTakesBackAWinAndItsFireworks) {
    std::vector<MatchInput> records;
    for (int f = 0; f < 400; ++f) records.push_back(generated(f, 200));
    ReplayInput replay(records);
    TracedMatch m;
    m.source = &replay;
    startgame(m, {"custom", 1, 2});
    for (int f = 0; f < 150; ++f) m.playframe();
    MatchSnapshot before;
    savesnapshot(m, before);
    const int random = m.random.state;
    for (int f = 150; f < 400; ++f) m.playframe();
    ASSERT_EQ(m.winner, 1);
    ASSERT_EQ(m.state, "tellwinner");
    restoresnapshot(m, before);
    EXPECT_EQ(m.winner, 0);
    EXPECT_EQ(m.state, "normal");
    EXPECT_EQ(m.man(1).wins, 0);
    EXPECT_LT(m.man(1).bar, 1800);
    EXPECT_TRUE(m.rockets->empty());
    EXPECT_EQ(m.random.state, random);
}

// Keys held and typed through the real keyboard source, in a game that ends on the game-over
// screen with a name; the recorded records, replayed with the same seed, give the same game.
TEST_F(Snapshots, AKeyboardGameReplaysFromItsRecords) {
    auto keys = [](Tmatch& game) {
        const int f = game.frame;
        if (f % 61 == 0) {
            for (int k : {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_A, KEY_W}) TestKeyUp(k);
            TestKeyDown((f / 61) % 2 ? KEY_LEFT : KEY_DOWN);
            TestKeyDown((f / 61) % 3 ? KEY_UP : KEY_RIGHT);
        }
        if (f == 300) TestKeyDown(KEY_1), TestKeyDown(KEY_5); // the computer wins
        if (f == 302) TestKeyUp(KEY_1), TestKeyUp(KEY_5);
        if (f == 302) TestTypeChar('k'); // forgotten: the first game-over frames flush
        if (f >= 310 && f < 313) TestTypeChar("ace"[f - 310]);
        if (f == 330) TestKeyDown(KEY_ENTER);
    };
    auto play = [&](InputSource* source, bool scripted) {
        FlushKeys();
        SeedRandom(77);
        TracedMatch m;
        prepare(m);
        if (scripted) m.keys = keys;
        m.source = source;
        m.startgame("levels", 3, nullptr, nullptr, {});
        m.score = 5000; // a carried score, so the name entry is offered
        do {
            m.playframe();
        } while (!m.input.leave && m.state != "end" && m.frame < 2000);
        EXPECT_EQ(m.state, "end");
        EXPECT_EQ(m.name, "ACE");
        FlushKeys();
        return m.lines;
    };
    RecordingInput recorder(defaultinput());
    const std::vector<std::string> played = play(&recorder, true);
    ASSERT_GT(played.size(), 330u);
    EXPECT_EQ(recorder.replay.frames(), long(played.size()));
    EXPECT_EQ(recorder.replay.hashes.size(), (played.size() - 1) / HASHEVERY);
    // Through the file's text and back: the same game, every hash agreeing.
    Replay read;
    std::string error;
    ASSERT_TRUE(parsereplay(replaytext(recorder.replay), read, error)) << error;
    ReplayInput replay(read);
    EXPECT_EQ(play(&replay, false), played);
    EXPECT_EQ(replay.mismatch, -1);
    EXPECT_TRUE(replay.finished());

    // Figure 1 steered the other way at frame 100: the hash before frame 120 tells, and the
    // game is left there.
    std::vector<MatchInput> changed = read.records();
    changed[100].figures[0].left = !changed[100].figures[0].left;
    ReplayInput wrong(changed, read.hashes, read.levelclock);
    SeedRandom(77);
    TracedMatch m;
    prepare(m);
    m.source = &wrong;
    m.startgame("levels", 3, nullptr, nullptr, {});
    m.score = 5000;
    do {
        m.playframe();
    } while (!m.input.leave && m.state != "end");
    EXPECT_EQ(wrong.mismatch, 120);
    EXPECT_EQ(m.lines.size(), 121u); // the frame that found it is left at once
    FlushKeys();
}

} // namespace

// Two games in one process, each with its own generator, played frame about frame: each is the
// game it would be alone, and neither draws from the runtime's generator.
TEST_F(Snapshots, TwoMatchesPlaySideBySide) {
    // The second game is steered otherwise from the start.
    auto play = [&](TracedMatch& m, int f, int shift) {
        m.input = generated(f + shift, 350 + shift);
        m.advance();
    };
    TracedMatch alone;
    startgame(alone, {"custom", 1, 4});
    for (int f = 0; f < 700; ++f) play(alone, f, 0);

    const int before = RandomState();
    TracedMatch first, second;
    startgame(first, {"custom", 1, 4});
    startgame(second, {"custom", 1, 4});
    for (int f = 0; f < 700; ++f) play(first, f, 0), play(second, f, 37);
    EXPECT_EQ(first.lines, alone.lines);
    EXPECT_NE(second.lines, alone.lines);
    EXPECT_EQ(RandomState(), before);
}

// A match that keeps something of the game outside its state: the sync test finds it, names
// the part it shows in and the frame, and the game is left there.
TEST_F(Snapshots, TheSyncTestFindsStateKeptOutsideTheSnapshot) {
    class Leaky : public TracedMatch {
      public:
        void updatestate() override {
            TracedMatch::updatestate();
            man(2).bar += float(++hidden % 7 == 0); // a count no snapshot holds
        }
        int hidden = 0;
    };
    for (const bool leaky : {false, true}) {
        std::vector<MatchInput> records;
        for (int f = 0; f < 300; ++f) records.push_back(generated(f, 1000));
        ReplayInput replay(records);
        std::unique_ptr<TracedMatch> m =
            leaky ? std::make_unique<Leaky>() : std::make_unique<TracedMatch>();
        m->source = &replay;
        Synctest test(8);
        m->synctest = &test;
        startgame(*m, {"custom", 1, 3});
        for (int f = 0; f < 300 && !m->input.leave; ++f) {
            m->input = replay.read(*m);
            m->playframe(false);
        }
        if (leaky) {
            EXPECT_EQ(test.failure(), "frame " + std::to_string(m->frame) + ": the figures differ");
            EXPECT_TRUE(m->input.leave);
            EXPECT_LT(m->frame, 20);
        } else {
            EXPECT_EQ(test.failure(), "");
            EXPECT_GT(test.checked(), 280);
        }
    }
}
