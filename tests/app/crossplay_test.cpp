// The Linux and the Windows game compute the same bits: a game recorded by either plays back
// in the other with every state hash its replay keeps matching, and to the same trace, frame
// for frame. Only under ./test --windows, which gives the Windows game and Wine.
#include "gamerun.h"

namespace {

// The frame lines of a trace (its header names the columns).
std::vector<std::string> frames(const std::vector<std::string>& trace) {
    std::vector<std::string> found;
    for (const std::string& line : trace)
        if (line.rfind("level frame", 0) != 0) found.push_back(line);
    return found;
}

} // namespace

TEST(CrossPlay, aReplayOfEitherSystemPlaysTheSameInTheOther) {
    if (!windowsgame()) GTEST_SKIP() << "needs the Windows game and Wine: ./test --windows";
    // Four figures, three of them the computer's, steered and bumping for 3000 frames, then
    // left with Escape: the springs' angles, the contacts and the computer players' aim all go
    // into the trace.
    const std::string steering = "answer no\n130 down 37\n400 down 38\n700 up 37\n1000 down 39\n"
                                 "1400 up 38\n1800 down 40\n2300 up 39\n3100 tap 27\n";
    for (const bool recordedonlinux : {true, false}) {
        SCOPED_TRACE(recordedonlinux ? "recorded on Linux" : "recorded on Windows");
        GameFolder game;
        RunOptions recorder, player;
        recorder.linuxgame = recordedonlinux;
        player.linuxgame = !recordedonlinux;
        ASSERT_EQ(game.run(steering,
                           {"--custom", "players=4,ai=12,arena=7", "--seed", "23", "--nodraw",
                            "--record", "game.txt", "--trace", "played.txt", "--frames", "3200"},
                           recorder),
                  0)
            << game.text("stderr.txt");
        ASSERT_EQ(game.run("# the replay plays itself\n",
                           {"--replay", "game.txt", "--nodraw", "--trace", "again.txt"}, player),
                  0)
            << game.text("stderr.txt");
        const std::vector<std::string> played = frames(game.lines("played.txt"));
        EXPECT_GT(played.size(), 2900u);
        EXPECT_EQ(frames(game.lines("again.txt")), played);
    }
}
