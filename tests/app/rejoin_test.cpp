// Coming back to an online series through the real program on 127.0.0.1: a joiner killed
// mid-game and started again with the same room code takes its seat back and plays the rest
// of the series with the others; one that stays away longer than 30 s ends the series for
// everyone; one whose host is gone gives up after trying for as long. The hosts play on the real
// clock, so that "mid-game" holds still long enough.
#include "gamerun.h"

namespace {

const auto second = std::chrono::seconds(1);

// Waits until the machine says text on stderr; false when it has not within the time.
bool says(const GameFolder& game, const std::string& text, std::chrono::seconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (game.text("stderr.txt").find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The "wins" line of every replay the machine kept, oldest first.
std::vector<std::string> tallies(const GameFolder& game) {
    std::vector<std::string> wins;
    for (const fs::path& file : game.files("replays")) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("wins ", 0) == 0) wins.push_back(line);
    }
    return wins;
}

const std::string steering = "answer no\n100 down 37\n400 up 37\n900 down 39\n1400 up 39\n";

} // namespace

// The host wins the first game with its 1+4 shortcut after the joiner came back, then leaves
// the second with Escape: the joiner's second run traces both games from their first frames,
// the same as the host, and keeps the same tally.
TEST(Rejoin, aJoinerKilledMidGameComesBackWithTheSameCode) {
    GameFolder serverfolder, first, again;
    RunOptions options;
    options.program = VANTORIX_SERVER;
    const pid_t server = serverfolder.spawn("", {"--port", "0"}, options);
    const std::string address =
        "127.0.0.1:" + awaitline(serverfolder, "stdout.txt",
                                 "vantorix-server: room codes and relays on UDP port ");
    const pid_t a = first.spawn(
        steering + "2300 down 49\n2300 down 52\n2302 up 49\n2302 up 52\n2500 tap 13\n"
                   "3100 down 27\n3102 up 27\n",
        {"--server", address, "--host", std::to_string(testport(1)), "--multiplayer", "players=2",
         "--seed", "5", "--nodraw", "--realtime", "--trace", "trace.txt", "--frames", "3600"});
    const std::string code = awaitline(first, "stdout.txt", "room ");
    ASSERT_EQ(code.size(), 6u) << first.text("stderr.txt");
    const std::vector<std::string> joining = {"--server", address,    "--join", code,
                                              "--nodraw", "--frames", "40000"};
    std::vector<std::string> args = joining;
    args.insert(args.end(), {"--trace", "killed.txt"});
    const pid_t b = again.spawn(steering, args);
    ASSERT_TRUE(reached(first, 1500)) << first.text("stderr.txt");
    kill(b, SIGKILL);
    again.finish(b);
    EXPECT_NE(again.text("rejoin.txt").find("where " + code), std::string::npos);
    std::this_thread::sleep_for(2 * second);
    args = joining;
    args.insert(args.end(), {"--trace", "trace.txt"});
    const pid_t c = again.spawn(steering, args);
    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(again.finish(c), 0) << again.text("stderr.txt");
    EXPECT_NE(first.text("stderr.txt").find("PLAYER 2 came back"), std::string::npos)
        << first.text("stderr.txt");
    const std::vector<std::string> trace = first.lines("trace.txt");
    EXPECT_GT(trace.size(), 1500u);
    EXPECT_EQ(again.lines("trace.txt"), trace);
    EXPECT_EQ(tallies(first), (std::vector<std::string>{"wins 0 0 0 0", "wins 1 0 0 0"}));
    EXPECT_EQ(tallies(again), tallies(first));
    EXPECT_FALSE(fs::exists(again.folder / "rejoin.txt")) << "the series is over";
    kill(server, SIGTERM);
    serverfolder.finish(server);
}

// Three machines; a joiner is killed and never comes back: 5 s later it counts as away, and
// 30 s after that the series ends on the other two with the same message.
TEST(Rejoin, aJoinerAwayForThirtySecondsEndsTheSeries) {
    GameFolder first, other, gone;
    const std::string port = std::to_string(testport(2));
    const pid_t a = first.spawn(steering, {"--host", port, "--multiplayer", "players=3", "--seed",
                                           "6", "--nodraw", "--realtime", "--trace", "trace.txt",
                                           "--frames", "6000"});
    const std::vector<std::string> joining = {
        "--join", "127.0.0.1:" + port, "--nodraw", "--trace", "trace.txt", "--frames", "100000"};
    const pid_t b = other.spawn(steering, joining);
    const pid_t c = gone.spawn(steering, joining);
    ASSERT_TRUE(reached(first, 300)) << first.text("stderr.txt");
    kill(c, SIGKILL);
    gone.finish(c);
    const auto killed = std::chrono::steady_clock::now();
    // Its player is player 2 or 3, as the machines came.
    ASSERT_TRUE(says(first, " is away", 8 * second)) << first.text("stderr.txt");
    const std::string text = first.text("stderr.txt");
    const std::string player = text.substr(text.find("PLAYER "), 8);
    const std::string message = player + " STOPPED ANSWERING";
    EXPECT_FALSE(says(first, message, 25 * second)) << "ended before the 30 s were up";
    EXPECT_TRUE(says(first, message, 20 * second)) << first.text("stderr.txt");
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count();
    EXPECT_GT(took, 34.0);
    EXPECT_TRUE(says(other, message, 3 * second)) << other.text("stderr.txt");
    kill(a, SIGKILL);
    kill(b, SIGKILL);
    first.finish(a);
    other.finish(b);
}

// The host is killed: the joiner, which cannot tell that from its own line going down, tries
// to take its seat back for the 30 s a host would wait, then says it gave up.
TEST(Rejoin, aJoinerWhoseHostIsGoneTriesForThirtySecondsThenSaysSo) {
    GameFolder first, joiner;
    const std::string port = std::to_string(testport(3));
    const pid_t a = first.spawn(steering, {"--host", port, "--multiplayer", "players=2", "--seed",
                                           "7", "--nodraw", "--realtime", "--trace", "trace.txt",
                                           "--frames", "6000"});
    const pid_t b = joiner.spawn(steering, {"--join", "127.0.0.1:" + port, "--nodraw", "--trace",
                                            "trace.txt", "--frames", "100000"});
    ASSERT_TRUE(reached(first, 300)) << first.text("stderr.txt");
    kill(a, SIGKILL);
    first.finish(a);
    const auto killed = std::chrono::steady_clock::now();
    ASSERT_TRUE(says(joiner, "PLAYER 1 STOPPED ANSWERING", 8 * second))
        << joiner.text("stderr.txt");
    EXPECT_TRUE(fs::exists(joiner.folder / "rejoin.txt")) << "kept while it tries";
    const std::string gaveup = "THE HOST COULD NOT BE REACHED AGAIN";
    EXPECT_FALSE(says(joiner, gaveup, 25 * second)) << joiner.text("stderr.txt");
    EXPECT_TRUE(says(joiner, gaveup, 15 * second)) << joiner.text("stderr.txt");
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count();
    EXPECT_GT(took, 34.0);
    EXPECT_FALSE(fs::exists(joiner.folder / "rejoin.txt"));
    kill(b, SIGKILL);
    joiner.finish(b);
}
