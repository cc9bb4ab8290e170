// Meeting by room code through the real server, all on 127.0.0.1: two machines find each
// other by the code the host prints and play the same game; a third finds the room full; a
// wrong code, a code without a server and a server that does not answer are said plainly.
#include "gamerun.h"

namespace {

// The server on a free port of 127.0.0.1, stopped at the end.
struct Server {
    Server() {
        RunOptions options;
        options.program = VANTORIX_SERVER;
        pid = folder.spawn("", {"--port", "0"}, options);
        address = "127.0.0.1:" + awaitline(folder, "stdout.txt",
                                           "vantorix-server: room codes and relays on UDP port ");
    }
    ~Server() { stop(); }
    void stop() {
        if (pid > 0) kill(pid, SIGTERM), folder.finish(pid), pid = 0;
    }
    GameFolder folder;
    pid_t pid = 0;
    std::string address;
};

std::vector<std::string> machine(std::vector<std::string> args, int seed, int frames) {
    args.insert(args.end(),
                {"--nodraw", "--netsim", "delay=30,jitter=10,loss=3,seed=" + std::to_string(seed),
                 "--trace", "trace.txt", "--netstats", "--frames", std::to_string(frames)});
    return args;
}

const std::string steering = "answer no\n100 down 37\n400 up 37\n420 down 38\n800 up 38\n"
                             "900 down 39\n1400 up 39\n";

} // namespace

TEST(Rooms, machinesMeetByTheRoomCodeAndPlayTheSameGame) {
    Server server;
    ASSERT_FALSE(server.address.empty()) << server.folder.text("stderr.txt");
    GameFolder first, second, third;
    const pid_t a =
        first.spawn(steering + "1600 down 27\n1602 up 27\n",
                    machine({"--server", server.address, "--host", std::to_string(testport(7)),
                             "--multiplayer", "players=2", "--seed", "8"},
                            1, 2400));
    const std::string code = awaitline(first, "stdout.txt", "room ");
    ASSERT_EQ(code.size(), 6u) << first.text("stderr.txt");
    // Typed as a player might.
    std::string typed = code;
    for (char& c : typed) c = char(std::tolower(c));
    const pid_t b =
        second.spawn(steering, machine({"--server", server.address, "--join", typed}, 2, 2400));
    // Once the game has begun, the room awaits nobody more.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (first.lines("trace.txt").size() < 2 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(
        third.run("answer no\n", machine({"--server", server.address, "--join", code}, 3, 300)), 0);
    EXPECT_NE(third.text("stderr.txt").find("THAT GAME IS FULL"), std::string::npos)
        << third.text("stderr.txt");

    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(second.finish(b), 0) << second.text("stderr.txt");
    const std::vector<std::string> trace = first.lines("trace.txt");
    EXPECT_GT(trace.size(), 1200u);
    EXPECT_EQ(second.lines("trace.txt"), trace);
    EXPECT_NE(first.text("stderr.txt").find("netstats: PLAYER 2 path direct"), std::string::npos)
        << first.text("stderr.txt");
}

TEST(Rooms, aCodeThatCannotBeMetIsSaidPlainly) {
    Server server;
    GameFolder game;
    EXPECT_EQ(
        game.run("answer no\n", machine({"--server", server.address, "--join", "ABCDEF"}, 1, 300)),
        0);
    EXPECT_NE(game.text("stderr.txt").find("NO GAME HAS THAT ROOM CODE"), std::string::npos)
        << game.text("stderr.txt");
    EXPECT_EQ(game.run("answer no\n", machine({"--join", "ABCDEF"}, 1, 300)), 1);
    EXPECT_NE(game.text("stderr.txt").find("a room code needs a server"), std::string::npos)
        << game.text("stderr.txt");
    const std::string address = server.address;
    server.stop();
    EXPECT_EQ(game.run("answer no\n", machine({"--server", address, "--join", "ABCDEF"}, 1, 600)),
              0);
    EXPECT_NE(game.text("stderr.txt").find("THE SERVER DOES NOT ANSWER"), std::string::npos)
        << game.text("stderr.txt");
}
