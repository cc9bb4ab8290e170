// The replay file: every field of the start and every field of a record survives the text;
// runs stay runs; damaged text is refused with the line it goes wrong on.
#include "match/replay.h"
#include <gtest/gtest.h>

namespace {

Replay sample() {
    Replay r;
    r.version = "0.1.0";
    r.figures = 0x0123456789abcdefULL;
    r.start.mode = "multiplayer";
    r.start.level = 7;
    r.start.custom.ailevel = 15;
    r.start.multi.players = 4;
    r.start.multi.arenanumber = 12;
    r.fireworks = 0;
    r.random = 0x7ffffffe;
    r.wins = {3, 0, 1, 2};
    r.autopilot = 4;
    r.startscore = 123456;
    r.entrythreshold = 999;
    r.levelclock = 61234;
    MatchInput every;
    every.figures[3] = {true, false, true, false, true};
    every.figures[0].down = true;
    every.pause = every.fillbar1 = every.fillbar2 = every.enter = every.space = true;
    every.next = every.leave = true;
    every.typed = 'Z';
    every.pick = -1;
    for (int i = 0; i < 125; ++i) r.add(MatchInput{});
    r.add(every);
    MatchInput picked;
    picked.pick = 1;
    r.add(picked);
    r.hashes = {0xffffffffffffffffULL, 0};
    return r;
}

} // namespace

TEST(ReplayFile, EverythingSurvivesTheText) {
    const Replay r = sample();
    ASSERT_EQ(r.runs.size(), 3u);
    EXPECT_EQ(r.frames(), 127);
    Replay back;
    std::string error;
    ASSERT_TRUE(parsereplay(replaytext(r), back, error)) << error;
    EXPECT_EQ(back.records(), r.records());
    EXPECT_EQ(back.runs.size(), 3u);
    EXPECT_EQ(back.hashes, r.hashes);
    EXPECT_EQ(back.figures, r.figures);
    EXPECT_EQ(back.start.mode, "multiplayer");
    EXPECT_EQ(back.start.level, 7);
    EXPECT_EQ(back.start.custom.ailevel, 15);
    EXPECT_EQ(back.start.multi.players, 4);
    EXPECT_EQ(back.start.multi.arenanumber, 12);
    EXPECT_EQ(back.fireworks, 0);
    EXPECT_EQ(back.random, r.random);
    EXPECT_EQ(back.wins, r.wins);
    EXPECT_EQ(back.autopilot, 4);
    EXPECT_EQ(back.startscore, 123456);
    EXPECT_EQ(back.entrythreshold, 999);
    EXPECT_EQ(back.levelclock, 61234);
    EXPECT_EQ(replaytext(back), replaytext(r));
}

// Escape is known only once the frame was shown: setting it splits the last run.
TEST(ReplayFile, LeavingSplitsTheLastRun) {
    Replay r;
    for (int i = 0; i < 4; ++i) r.add(MatchInput{});
    r.setleave(true);
    ASSERT_EQ(r.runs.size(), 2u);
    EXPECT_EQ(r.runs[0].count, 3);
    EXPECT_TRUE(r.records().back().leave);
    r.setleave(false);
    ASSERT_EQ(r.runs.size(), 1u);
    EXPECT_EQ(r.runs[0].count, 4);
}

TEST(ReplayFile, DamagedTextSaysWhere) {
    const std::string good = replaytext(sample());
    auto refused = [](const std::string& text, const std::string& want) {
        Replay into;
        into.version = "kept";
        std::string error;
        EXPECT_FALSE(parsereplay(text, into, error)) << want;
        EXPECT_EQ(error.rfind(want, 0), 0u) << "got: " << error;
        EXPECT_EQ(into.version, "kept") << "a refused file changes nothing";
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    refused("", "line 1: not a replay");
    refused("a picture\n", "line 1: not a replay");
    refused(good.substr(0, good.size() - 4), "line 22: 'end' expected");
    refused(good.substr(0, good.find("hashes")), "line 19: the file ends too soon");
    refused(replaced("mode multiplayer", "mode arcade"), "line 4: unknown mode");
    refused(replaced("version 0.1.0", "version 0.1.0\r\r"), "line 2: the version is damaged");
    refused(replaced("level 7", "level 41"), "line 5: level must be");
    refused(replaced("players=4", "players=9"), "line 7: players must be");
    refused(replaced("wins 3 0 1 2", "wins 3 0"), "line 10: the tally");
    refused(replaced("\n125 0\n", "\n0 0\n"), "line 16: a run's count");
    refused(replaced("\n125 0\n", "\n5 10000000\n"), "line 16: the record");
    refused(replaced("\n125 0\n", "\n5 0 90\n"), "line 16: a run is");
    refused(replaced("inputs 3", "inputs 99999999"), "line 15: inputs must be");
    refused(replaced("\n125 0\n", "\n1000000000 0\n"), "line 16: a run's count");
    refused(replaced("\n125 0\n", "\n1296000 0\n"), "line 17: a game longer than six hours");
    // What no game reaches: a tally past a million, a score past all 40 levels, more state
    // hashes than the frames hold.
    refused(replaced("wins 3 0 1 2", "wins 3 0 2147483647 2"), "line 10: the tally");
    refused(replaced("startscore 123456", "startscore 2147483647"), "line 12: startscore must");
    refused(replaced("hashes 2", "hashes 3"), "line 19: hashes must be");
    // An endless line is refused where it starts, and nothing of it is echoed; neither is a
    // byte that would drive the terminal.
    refused(replaced("mode multiplayer", "mode " + std::string(1 << 20, 'x')),
            "line 4: longer than 256 characters");
    Replay into;
    std::string error;
    EXPECT_FALSE(parsereplay(replaced("mode multiplayer", "mode \x1b]0;owned\x07"), into, error));
    EXPECT_EQ(error, "line 4: unknown mode '\\x1b]0;owned\\x07'");
}

// Saved by an editor on Windows, a replay is the same replay.
TEST(ReplayFile, LinesEndingInCarriageReturnsReadTheSame) {
    std::string crlf;
    for (char c : replaytext(sample())) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Replay back;
    std::string error;
    ASSERT_TRUE(parsereplay(crlf, back, error)) << error;
    EXPECT_EQ(replaytext(back), replaytext(sample()));
}
