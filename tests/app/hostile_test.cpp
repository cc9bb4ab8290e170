// The real program against files that fight back: a FIFO where one of its files should be
// ends or goes on with a clear line at once instead of hanging, and save files it may not read
// are never replaced.
#include "gamerun.h"
#include <sys/stat.h>

namespace {

// A FIFO has no end: a game that opened it to read would wait for a writer for ever.
void makefifo(const fs::path& where) {
    ASSERT_EQ(mkfifo(where.c_str(), 0600), 0) << where;
}

RunOptions quick() {
    RunOptions options;
    options.seconds = 5;
    return options;
}

} // namespace

TEST(Hostile, fifoSavesAreReportedAndLeftWhileTheGameGoesOn) {
    for (const char* file : {"prefs.txt", "scores.txt"}) {
        GameFolder game;
        makefifo(game.folder / file);
        EXPECT_EQ(game.run("answer no\n", {"--frames", "30"}, quick()), 0) << file;
        const std::string said = game.text("stderr.txt");
        EXPECT_NE(said.find(std::string(file) + ": not a regular file"), std::string::npos) << said;
        EXPECT_EQ(fs::status(game.folder / file).type(), fs::file_type::fifo);
    }
}

TEST(Hostile, fifoFigureFileEndsTheGameNotTheProgram) {
    GameFolder game;
    makefifo(game.withoutmedia("man.txt"));
    EXPECT_EQ(game.run("answer no\n", {"--level", "1", "--frames", "200"}, quick()), 0);
    EXPECT_NE(game.text("stderr.txt").find("could not open media/man.txt: not a regular file"),
              std::string::npos)
        << game.text("stderr.txt");
}

TEST(Hostile, fifoScriptIsRefusedAtOnce) {
    GameFolder game;
    makefifo(game.folder / "input.txt");
    EXPECT_EQ(game.run("", {"--script", "input.txt", "--frames", "30"}, quick()), 1);
    EXPECT_NE(game.text("stderr.txt").find("input.txt: not a regular file"), std::string::npos)
        << game.text("stderr.txt");
}

// Mode 000 as a player who is not root: the saves cannot be read, so the game plays with the
// defaults, asks nothing, says so once per file and leaves both files exactly as they were.
TEST(Hostile, unreadableSavesAreLeftByteForByte) {
    if (windowsgame()) GTEST_SKIP() << "Wine gives Windows programs no POSIX file modes";
    GameFolder game;
    fs::permissions(game.folder, fs::perms::all);
    const std::string prefs = "2\r\n0\r\n0\r\n0\r\n7\r\n36\r\n", scores = "ACE\r\n9000\r\n";
    for (auto [file, bytes] : {std::pair{"prefs.txt", prefs}, std::pair{"scores.txt", scores}}) {
        const fs::path path = game.folder / file;
        std::ofstream(path, std::ios::binary) << bytes;
        if (geteuid() == 0) {
            ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
        }
        fs::permissions(path, fs::perms::none);
    }
    RunOptions options;
    options.asnobody = true;
    // Were the question asked, "yes" would go full screen and write prefs.txt.
    const int status = game.run("answer yes\n", {"--frames", "60"}, options);
    if (status == NOT_NOBODY) GTEST_SKIP() << "cannot run the game as nobody here";
    EXPECT_EQ(status, 0) << game.text("stderr.txt");
    const std::string said = game.text("stderr.txt");
    EXPECT_NE(said.find("cannot read prefs.txt: Permission denied"), std::string::npos) << said;
    EXPECT_NE(said.find("cannot read scores.txt: Permission denied"), std::string::npos) << said;
    fs::permissions(game.folder / "prefs.txt", fs::perms::owner_read);
    fs::permissions(game.folder / "scores.txt", fs::perms::owner_read);
    EXPECT_EQ(game.text("prefs.txt"), prefs);
    EXPECT_EQ(game.text("scores.txt"), scores);
    EXPECT_FALSE(fs::exists(game.folder / "prefs.txt.tmp"));
}

// A replays folder the player may not look into (mode 000, or 644 without search permission):
// every game plays to its end, the first one that cannot be kept says so once, and the folder
// is left as it was.
TEST(Hostile, replaysFolderThatRefusesIsSaidOnceAndPlayedPast) {
    if (windowsgame()) GTEST_SKIP() << "Wine gives Windows programs no POSIX file modes";
    for (const fs::perms mode : {fs::perms::none, fs::perms(0644)}) {
        GameFolder game;
        fs::permissions(game.folder, fs::perms::all);
        fs::create_directory(game.folder / "replays");
        fs::permissions(game.folder / "replays", mode);
        RunOptions options;
        options.asnobody = true;
        // Two games won at once (1+4), each left from its result screen.
        const int status = game.run("answer no\n130 down 49\n130 down 52\n132 up 49\n132 up 52\n"
                                    "300 tap 13\n430 down 49\n430 down 52\n432 up 49\n"
                                    "432 up 52\n600 tap 13\n700 tap 27\n",
                                    {"--custom", "players=2", "--frames", "800"}, options);
        if (status == NOT_NOBODY) GTEST_SKIP() << "cannot run the game as nobody here";
        const std::string said = game.text("stderr.txt");
        EXPECT_EQ(status, 0) << said;
        const size_t once = said.find("vantorix: replays cannot be kept: ");
        EXPECT_NE(once, std::string::npos) << said;
        EXPECT_EQ(said.find("cannot be kept", once + 30), std::string::npos) << said;
        EXPECT_EQ(fs::status(game.folder / "replays").permissions(), mode);
    }
}

// Ctrl+C and a service manager's SIGTERM end every run within a second, drawn or not: a
// six-hour replay played without drawing, and a drawn menu. The trace ends on a whole line.
TEST(Hostile, signalsEndEveryRunAtOnce) {
    if (windowsgame()) GTEST_SKIP() << "Windows programs get no POSIX signals under Wine";
    GameFolder game;
    ASSERT_EQ(game.run("answer no\n200 tap 27\n",
                       {"--custom", "players=2", "--record", "short.txt", "--frames", "300"}),
              0)
        << game.text("stderr.txt");
    std::string text = game.text("short.txt");
    text = text.substr(0, text.find("\ninputs ")) + "\ninputs 1\n1296000 0\nhashes 0\nend\n";
    std::ofstream(game.folder / "long.txt") << text;
    const std::vector<std::vector<std::string>> runs = {
        {"--replay", "long.txt", "--nodraw", "--trace", "trace.txt"}, {}};
    for (const int signal : {SIGINT, SIGTERM}) {
        for (const auto& args : runs) {
            const pid_t pid = game.spawn("answer no\n", args);
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            kill(pid, signal);
            const auto sent = std::chrono::steady_clock::now();
            RunOptions options;
            options.seconds = 5;
            EXPECT_EQ(game.finish(pid, options), 128 + signal) << args.size();
            EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(1));
            if (args.empty()) continue;
            const std::string trace = game.text("trace.txt");
            EXPECT_GT(trace.size(), 1000u);
            EXPECT_EQ(trace.back(), '\n');
            fs::remove(game.folder / "trace.txt");
        }
    }
}
