// Online play through the real program: two or three processes on 127.0.0.1, each with its
// own script and virtual clock, over a network made bad on purpose, play one game: their
// traces are the same line for line, and the same as a replay of the recording. A machine
// that is killed, or plays with another figure file, is noticed.
#include "gamerun.h"
#include <algorithm>
#include <unistd.h>

namespace {

const std::string badnetwork = "delay=60,jitter=20,loss=5,dup=2,seed=";

// Every machine draws nothing, has a bad network of its own seed, and keeps its trace and
// its first game's replay.
std::vector<std::string> machine(std::vector<std::string> args, int seed, int frames) {
    args.insert(args.end(),
                {"--nodraw", "--netsim", badnetwork + std::to_string(seed), "--trace", "trace.txt",
                 "--record", "first.txt", "--frames", std::to_string(frames)});
    return args;
}

std::vector<std::string> host(int players, int n, int seed, int frames) {
    return machine({"--host", std::to_string(testport(n)), "--multiplayer",
                    "players=" + std::to_string(players), "--seed", "8"},
                   seed, frames);
}

std::vector<std::string> joiner(int n, int seed, int frames) {
    return machine({"--join", "127.0.0.1:" + std::to_string(testport(n))}, seed, frames);
}

// The "wins" line of every replay the machine kept, oldest first.
std::vector<std::string> tallies(const GameFolder& game) {
    std::vector<fs::path> files = {game.folder / "first.txt"};
    for (const fs::path& file : game.files("replays")) files.push_back(file);
    std::vector<std::string> wins;
    for (const fs::path& file : files) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("wins ", 0) == 0) wins.push_back(line);
    }
    return wins;
}

const std::string steering = "answer no\n100 down 37\n400 up 37\n420 down 38\n800 up 38\n"
                             "900 down 39\n1400 up 39\n1500 down 40\n2100 up 40\n"
                             "2200 down 37\n2900 up 37\n3000 down 38\n";

} // namespace

// Two machines, two games won by figure 1 (its bar filled by 1+4, Enter on the result screen),
// then a long third one, paused for a second, left with Escape by the host: the same trace
// everywhere, over 3000 frames, the same as a replay of it, and the same tally.
TEST(Online, twoMachinesOverABadNetworkPlayOneGame) {
    GameFolder first, second;
    const std::string hosting = steering +
                                "600 down 49\n600 down 52\n602 up 49\n602 up 52\n800 tap 13\n"
                                "1200 down 49\n1200 down 52\n1202 up 49\n1202 up 52\n1400 tap 13\n"
                                "2500 tap 80\n2560 tap 80\n4300 down 27\n4302 up 27\n";
    const pid_t a = first.spawn(hosting, host(2, 0, 1, 4600));
    const pid_t b = second.spawn(steering, joiner(0, 2, 5200));
    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(second.finish(b), 0) << second.text("stderr.txt");
    const std::vector<std::string> trace = first.lines("trace.txt");
    EXPECT_GT(trace.size(), 3000u);
    EXPECT_EQ(second.lines("trace.txt"), trace);
    EXPECT_NE(second.text("stderr.txt").find("PLAYER 1 LEFT THE GAME"), std::string::npos)
        << second.text("stderr.txt");
    EXPECT_EQ(tallies(first),
              (std::vector<std::string>{"wins 0 0 0 0", "wins 1 0 0 0", "wins 2 0 0 0"}));
    EXPECT_EQ(tallies(second), tallies(first));

    // The games again from the first machine's replays, one after the other, offline.
    EXPECT_EQ(first.run("# the replays play themselves\n",
                        {"--nodraw", "--replay", "first.txt", "--trace", "again.txt"}),
              0)
        << first.text("stderr.txt");
    for (const fs::path& file : first.files("replays")) {
        EXPECT_EQ(first.run("#\n", {"--nodraw", "--replay", file.string(), "--trace", "again.txt"}),
                  0)
            << first.text("stderr.txt");
    }
    EXPECT_EQ(first.lines("again.txt"), trace);
}

// Three machines: the host and two that join, each over its own bad network.
TEST(Online, threeMachinesPlayOneGame) {
    GameFolder one, two, three;
    const pid_t a = one.spawn(steering + "1500 down 27\n1502 up 27\n", host(3, 1, 3, 1800));
    // The second machine pauses everyone's game for a second.
    const pid_t b =
        two.spawn("answer no\n200 down 39\n700 tap 80\n760 tap 80\n", joiner(1, 4, 2400));
    const pid_t c = three.spawn("answer no\n300 down 40\n", joiner(1, 5, 2400));
    EXPECT_EQ(one.finish(a), 0) << one.text("stderr.txt");
    EXPECT_EQ(two.finish(b), 0) << two.text("stderr.txt");
    EXPECT_EQ(three.finish(c), 0) << three.text("stderr.txt");
    const std::vector<std::string> trace = one.lines("trace.txt");
    EXPECT_GT(trace.size(), 1000u);
    EXPECT_NE(trace.front().find("centrey3"), std::string::npos) << "three figures";
    EXPECT_EQ(two.lines("trace.txt"), trace);
    EXPECT_EQ(three.lines("trace.txt"), trace);
}

// A machine killed mid-game: within 6 s the other says that player is away (it then waits for
// it to come back; the rejoin tests see the rest).
TEST(Online, aKilledMachineEndsTheOthersGame) {
    GameFolder first, second;
    const pid_t a = first.spawn(steering, host(2, 2, 6, 100000));
    const pid_t b = second.spawn(steering, joiner(2, 7, 100000));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (first.lines("trace.txt").size() < 300 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_GE(first.lines("trace.txt").size(), 300u) << first.text("stderr.txt");
    kill(b, SIGKILL);
    const auto killed = std::chrono::steady_clock::now();
    second.finish(b);
    const std::string message = "PLAYER 2 is away";
    while (first.text("stderr.txt").find(message) == std::string::npos &&
           std::chrono::steady_clock::now() < killed + std::chrono::seconds(8)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - killed).count();
    EXPECT_NE(first.text("stderr.txt").find(message), std::string::npos)
        << first.text("stderr.txt");
    EXPECT_LT(took, 6.0);
    kill(a, SIGKILL);
    first.finish(a);
}

// A machine with another figure file is refused, and both say why.
TEST(Online, anotherFigureFileIsRefused) {
    GameFolder first, second;
    const fs::path figure = second.withoutmedia("man.txt");
    std::ofstream(figure) << std::ifstream(fs::path(VANTORIX_MEDIA_DIR) / "man.txt").rdbuf()
                          << "\n";
    const pid_t a = first.spawn("answer no\n", host(2, 3, 8, 600));
    const pid_t b = second.spawn("answer no\n", joiner(3, 9, 600));
    EXPECT_EQ(second.finish(b), 0);
    EXPECT_EQ(first.finish(a), 0);
    EXPECT_NE(first.text("stderr.txt").find("could not join: the host plays with another figure"),
              std::string::npos)
        << first.text("stderr.txt");
    EXPECT_NE(second.text("stderr.txt").find("the host refused: the host plays with another"),
              std::string::npos)
        << second.text("stderr.txt");
}

// A machine whose game goes its own way (its figure 1 steered by the computer, as --autopilot
// does) is caught by the state hashes: OUT OF SYNC on both, each keeping its replay.
TEST(Online, aGameThatGoesApartIsOutOfSync) {
    GameFolder first, second;
    std::vector<std::string> apart = joiner(4, 11, 1500);
    apart.insert(apart.end(), {"--autopilot", "5"});
    const pid_t a = first.spawn(steering, host(2, 4, 10, 1500));
    const pid_t b = second.spawn("answer no\n", apart);
    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(second.finish(b), 0) << second.text("stderr.txt");
    for (const GameFolder* game : {&first, &second}) {
        EXPECT_NE(game->text("stderr.txt").find("OUT OF SYNC"), std::string::npos)
            << game->text("stderr.txt");
        EXPECT_EQ(game->text("first.txt").rfind("vantorix replay", 0), 0u);
    }
}

// Two players at the host (the arrow keys and W, A, S, D) and one at the other machine: three
// figures, each going where its own player steers it, the same on both machines.
TEST(Online, twoPlayersAtOneMachine) {
    GameFolder first, second;
    std::vector<std::string> hosting = host(3, 5, 12, 1300);
    hosting.insert(hosting.end(), {"--local", "2"});
    // Keys go down once the game has surely begun (a game's start forgets the keys held).
    const pid_t a = first.spawn("answer no\n400 down 39\n400 down 83\n900 down 27\n", hosting);
    const pid_t b = second.spawn("answer no\n400 down 38\n", joiner(5, 13, 1600));
    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(second.finish(b), 0) << second.text("stderr.txt");
    const std::vector<std::string> trace = first.lines("trace.txt");
    ASSERT_GT(trace.size(), 200u);
    EXPECT_EQ(second.lines("trace.txt"), trace);
    // Columns: level frame state winner owner idle x y, then bar, x, y of each figure.
    auto at = [&](size_t line, int column) {
        std::istringstream in(trace[line]);
        std::string word;
        for (int i = 0; i <= column; ++i) in >> word;
        return std::stod(word);
    };
    const size_t last = trace.size() - 1;
    EXPECT_GT(at(last, 9) - at(1, 9), 100) << "figure 1 right";
    EXPECT_GT(at(last, 13) - at(1, 13), 100) << "figure 2 down";
    EXPECT_LT(at(last, 16) - at(1, 16), -100) << "figure 3 up";
}

// Two machines whose players chose differently in every option that is theirs alone: size of
// the picture and of the window, full screen, trail, fireworks, music and effects volumes,
// team colours, key bindings, input delay, one drawn and one not. Two games won with fireworks
// bursting play alike on both: the same trace, the same tally, no OUT OF SYNC.
TEST(Online, machinesThatDifferInEveryLocalOptionPlayAlike) {
    GameFolder first, second;
    std::ofstream(first.folder / "prefs.txt") << "3\r\n0\r\n2\r\n1\r\n7\r\n1\r\n";
    std::ofstream(first.folder / "settings.txt") << "soundeffects=10\r\nteamcolours=1\r\n";
    std::ofstream(second.folder / "prefs.txt") << "1\r\n1\r\n0\r\n0\r\n0\r\n1\r\n";
    std::ofstream(second.folder / "settings.txt") << "soundeffects=0\r\nteamcolours=0\r\n";
    // The second machine's player steers with I, J, K, L.
    std::ofstream(second.folder / "controls.txt")
        << "player1.up=key 73\r\nplayer1.left=key 74\r\nplayer1.down=key 75\r\n"
           "player1.right=key 76\r\nplayer3.up=key 38\r\nplayer3.left=key 37\r\n"
           "player3.down=key 40\r\nplayer3.right=key 39\r\n";
    const std::string wins = "700 down 49\n700 down 52\n702 up 49\n702 up 52\n1100 tap 13\n"
                             "1500 down 49\n1500 down 52\n1502 up 49\n1502 up 52\n1900 tap 13\n"
                             "2300 down 27\n2302 up 27\n";
    const std::vector<std::string> drawn = {"--host",        std::to_string(testport(6)),
                                            "--multiplayer", "players=2",
                                            "--seed",        "21",
                                            "--window",      "1280x720",
                                            "--trace",       "trace.txt",
                                            "--record",      "first.txt",
                                            "--netsim",      badnetwork + "3",
                                            "--inputdelay",  "0",
                                            "--frames",      "2600"};
    const pid_t a = first.spawn(steering + wins, drawn);
    const std::string keys = "answer no\n150 down 74\n600 up 74\n650 down 73\n1200 up 73\n"
                             "1300 down 76\n";
    std::vector<std::string> late = joiner(6, 4, 3000);
    late.insert(late.end(), {"--inputdelay", "4"});
    const pid_t b = second.spawn(keys, late);
    EXPECT_EQ(first.finish(a), 0) << first.text("stderr.txt");
    EXPECT_EQ(second.finish(b), 0) << second.text("stderr.txt");
    const std::vector<std::string> trace = first.lines("trace.txt");
    EXPECT_GT(trace.size(), 1000u);
    EXPECT_EQ(second.lines("trace.txt"), trace);
    for (const GameFolder* game : {&first, &second}) {
        EXPECT_EQ(game->text("stderr.txt").find("OUT OF SYNC"), std::string::npos)
            << game->text("stderr.txt");
    }
    EXPECT_EQ(tallies(second),
              (std::vector<std::string>{"wins 0 0 0 0", "wins 1 0 0 0", "wins 2 0 0 0"}));
    EXPECT_EQ(tallies(first), tallies(second));
}

// A machine whose window is closed, or that gets SIGTERM, in the middle of a game: the other
// hears within a second that its player left, and both keep the game so far as a replay.
TEST(Online, closingTheWindowOrSigtermLeavesCleanly) {
    for (const bool signal : {false, true}) {
        GameFolder first, second;
        const int n = signal ? 7 : 6;
        const pid_t a = first.spawn(steering, host(2, n, 5, 100000));
        const pid_t b =
            second.spawn(signal ? steering : steering + "600 close\n", joiner(n, 6, 100000));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (first.lines("trace.txt").size() < 400 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (signal) kill(b, SIGTERM);
        EXPECT_EQ(second.finish(b), signal ? 128 + SIGTERM : 0) << second.text("stderr.txt");
        const auto gone = std::chrono::steady_clock::now();
        const std::string message = "PLAYER 2 LEFT THE GAME";
        while (first.text("stderr.txt").find(message) == std::string::npos &&
               std::chrono::steady_clock::now() < gone + std::chrono::seconds(8)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_LT(std::chrono::steady_clock::now() - gone, std::chrono::seconds(1))
            << first.text("stderr.txt");
        kill(a, SIGTERM);
        first.finish(a);
        EXPECT_NE(first.text("stderr.txt").find(message), std::string::npos);
        EXPECT_EQ(second.text("first.txt").rfind("vantorix replay", 0), 0u) << signal;
        EXPECT_EQ(first.text("first.txt").rfind("vantorix replay", 0), 0u) << signal;
    }
}
