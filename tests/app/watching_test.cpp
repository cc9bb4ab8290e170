// Watching online games through the real program on 127.0.0.1: machines that come when a game
// is half played catch up from its first frame and write the players' trace; a ninth is turned
// away; one killed while watching costs the players nothing. Connected to the host, and fed by
// a server by the room's code.
#include "gamerun.h"
#include <array>

namespace {

// The host plays on the real clock (3000 frames take 50 s) so that the spectators come at
// frame 1500 of it; its player leaves with Escape at frame 3000. Through a server, the
// spectators watch by the room's code and the server feeds them.
void eightwatch(bool throughserver, const std::string& ninthhears) {
    GameFolder serverfolder, first, second;
    std::array<GameFolder, 9> watchers;
    std::vector<std::string> viaserver;
    pid_t server = 0;
    if (throughserver) {
        RunOptions options;
        options.program = VANTORIX_SERVER;
        server = serverfolder.spawn("", {"--port", "0"}, options);
        viaserver = {"--server", "127.0.0.1:" + awaitline(serverfolder, "stdout.txt",
                                                          "vantorix-server: room codes and "
                                                          "relays on UDP port ")};
    }
    const auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), viaserver.begin(), viaserver.end());
        return args;
    };
    const std::string steering = "answer no\n100 down 37\n400 up 37\n900 down 39\n1400 up 39\n"
                                 "1700 down 40\n2300 up 40\n";
    const std::string port = std::to_string(testport(0));
    const pid_t a =
        first.spawn(steering + "3000 down 27\n",
                    with({"--host", port, "--multiplayer", "players=2", "--seed", "5", "--nodraw",
                          "--realtime", "--trace", "trace.txt", "--frames", "3400"}));
    const std::string where =
        throughserver ? awaitline(first, "stdout.txt", "room ") : "127.0.0.1:" + port;
    const pid_t b = second.spawn(
        steering, with({"--join", where, "--nodraw", "--trace", "trace.txt", "--frames", "40000"}));
    ASSERT_TRUE(reached(first, 1500)) << first.text("stderr.txt");
    std::array<pid_t, 9> watching{};
    for (size_t k = 0; k < watchers.size(); ++k) {
        watching[k] = watchers[k].spawn(
            "answer no\n",
            with({"--watch", where, "--nodraw", "--trace", "trace.txt", "--frames", "40000"}));
        if (k == 7) std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ASSERT_TRUE(reached(first, 2000));
    kill(watching[0], SIGKILL);
    watchers[0].finish(watching[0]);
    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(second.finish(b), 0) << second.text("stderr.txt");
    const std::vector<std::string> trace = second.lines("trace.txt");
    EXPECT_GT(trace.size(), 3000u);
    EXPECT_EQ(first.lines("trace.txt"), trace);
    EXPECT_NE(second.text("stderr.txt").find("PLAYER 1 LEFT THE GAME"), std::string::npos)
        << second.text("stderr.txt");
    for (size_t k = 1; k < 8; ++k) {
        EXPECT_EQ(watchers[k].finish(watching[k]), 0) << k;
        EXPECT_EQ(watchers[k].lines("trace.txt"), trace) << k << watchers[k].text("stderr.txt");
        EXPECT_NE(watchers[k].text("stderr.txt").find("A PLAYER LEFT THE GAME"), std::string::npos)
            << watchers[k].text("stderr.txt");
        EXPECT_EQ(watchers[k].files("replays").size(), 1u) << k;
    }
    EXPECT_EQ(watchers[8].finish(watching[8]), 0);
    EXPECT_NE(watchers[8].text("stderr.txt").find(ninthhears), std::string::npos)
        << watchers[8].text("stderr.txt");
    EXPECT_TRUE(watchers[8].lines("trace.txt").empty());
    if (server) kill(server, SIGTERM), serverfolder.finish(server);
}

} // namespace

TEST(Spectators, eightWatchAGameFromItsFirstFrameAndTheNinthIsTurnedAway) {
    eightwatch(false, "8 machines watch the game already");
}

// The same, fed by the server: the host sends the game once, whoever watches.
TEST(Spectators, theServerFeedsEightByTheRoomCodeAndTurnsTheNinthAway) {
    eightwatch(true, "8 MACHINES WATCH THAT GAME ALREADY");
}
