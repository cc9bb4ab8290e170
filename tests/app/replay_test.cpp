// Replays through the real program: games of every mode recorded while they are played and
// played back without drawing, trace for trace; replays that were not made by this game or
// were changed say so and where; the replays folder keeps the newest fifty.
#include "gamerun.h"
#include <algorithm>

namespace {

// The trace of each match of a run: its header line and its frame lines.
std::vector<std::vector<std::string>> matches(const std::vector<std::string>& trace) {
    std::vector<std::vector<std::string>> found;
    for (const std::string& line : trace) {
        if (line.rfind("level frame", 0) == 0) found.emplace_back();
        if (!found.empty()) found.back().push_back(line);
    }
    return found;
}

// Replays the file with drawing off; the trace of the replayed game.
std::vector<std::string> replayed(GameFolder& game, const std::string& file, int status = 0) {
    std::filesystem::remove(game.folder / "again.txt");
    EXPECT_EQ(game.run("# nothing: the replay plays itself\n",
                       {"--replay", file, "--nodraw", "--trace", "again.txt"}),
              status)
        << game.text("stderr.txt");
    return game.lines("again.txt");
}

// Steering that changes every few seconds, then 1+4 (figure 1's bar fills, a won game) and
// Enter on the result screen; the second game is left with Escape.
const std::string wonthenleft = "answer no\n130 down 37\n200 down 38\n300 up 37\n360 down 39\n"
                                "420 up 38\n450 down 40\n520 down 49\n520 down 52\n522 up 49\n"
                                "522 up 52\n700 tap 13\n900 down 65\n1000 tap 27\n";

} // namespace

// A custom game won and one left with Escape, then a multiplayer game of a keyboard and three
// pads with a pause in it: each replay gives its game's trace again, line for line.
TEST(Replays, customAndPadGamesReplayToTheirTraces) {
    GameFolder game;
    ASSERT_EQ(game.run(wonthenleft, {"--custom", "players=3,arena=4", "--seed", "11", "--record",
                                     "first.txt", "--trace", "trace.txt", "--frames", "1100"}),
              0)
        << game.text("stderr.txt");
    const auto played = matches(game.lines("trace.txt"));
    ASSERT_EQ(played.size(), 2u);
    EXPECT_GT(played[0].size(), 400u);
    EXPECT_EQ(replayed(game, "first.txt"), played[0]);
    // The first game went where --record said, the second to the replays folder.
    const std::vector<fs::path> kept = game.files("replays");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(kept[0].filename().string().find("-custom.txt"), std::string::npos) << kept[0];
    EXPECT_EQ(replayed(game, kept[0].string()), played[1]);

    const std::string pads = "answer no\n0 pad 1 attach PAD ONE\n0 pad 2 attach PAD TWO\n"
                             "0 pad 3 attach PAD THREE\n130 down 37\n130 pad 1 axis leftx 30000\n"
                             "160 pad 2 button dpdown down\n200 tap 80\n230 tap 80\n"
                             "260 pad 3 axis lefty -30000\n300 pad 1 button start down\n"
                             "302 pad 1 button start up\n340 pad 1 button start down\n"
                             "400 tap 27\n";
    ASSERT_EQ(game.run(pads, {"--multiplayer", "players=4", "--seed", "4", "--record", "pads.txt",
                              "--trace", "pads-trace.txt", "--frames", "500"}),
              0)
        << game.text("stderr.txt");
    const auto padgame = matches(game.lines("pads-trace.txt"));
    ASSERT_EQ(padgame.size(), 1u);
    EXPECT_EQ(replayed(game, "pads.txt"), padgame[0]);
}

// A levels game: the time bonus of the win comes from the clock, which the replay keeps.
TEST(Replays, levelsGameReplaysWithItsTimeBonus) {
    GameFolder game;
    ASSERT_EQ(game.run(wonthenleft, {"--level", "3", "--seed", "2", "--record", "level.txt",
                                     "--trace", "trace.txt", "--frames", "1100"}),
              0)
        << game.text("stderr.txt");
    const auto played = matches(game.lines("trace.txt"));
    ASSERT_GE(played.size(), 1u);
    const std::string text = game.text("level.txt");
    EXPECT_NE(text.find("\nmode levels\nlevel 3\n"), std::string::npos);
    EXPECT_EQ(text.find("\nlevelclock -1\n"), std::string::npos) << "the win's time is kept";
    EXPECT_EQ(replayed(game, "level.txt"), played[0]);

    // Space, once the game is on (after the logo): four frames for every one shown, so the
    // whole game fits in a third of its frames.
    std::filesystem::remove(game.folder / "again.txt");
    const std::string frames = std::to_string(160 + played[0].size() / 3);
    EXPECT_EQ(game.run("140 tap 32\n", {"--replay", "level.txt", "--nodraw", "--trace", "again.txt",
                                        "--frames", frames}),
              0);
    EXPECT_EQ(game.lines("again.txt"), played[0]);
}

// Replays that cannot be shown as recorded: another figure file, one changed record (the
// first frame whose state differs is named), a damaged file, another version.
TEST(Replays, changedReplaysSayWhatDiffers) {
    GameFolder game;
    ASSERT_EQ(game.run(wonthenleft, {"--custom", "players=2", "--seed", "9", "--record", "game.txt",
                                     "--frames", "1100"}),
              0)
        << game.text("stderr.txt");
    const std::string original = game.text("game.txt");
    auto write = [&](const std::string& text) { std::ofstream(game.folder / "game.txt") << text; };

    // One byte of the records: figure 1's left flipped in the first run that steers it.
    std::vector<std::string> lines = game.lines("game.txt");
    const size_t inputs =
        std::find_if(lines.begin(), lines.end(),
                     [](const std::string& l) { return l.rfind("inputs ", 0) == 0; }) -
        lines.begin();
    long frame = 0;
    size_t changed = 0;
    for (size_t i = inputs + 1; i < lines.size() && !changed; ++i) {
        std::istringstream run(lines[i]);
        long count = 0;
        std::string word;
        run >> count >> word;
        if (std::stoul(word, nullptr, 16) & 0x1f) {
            changed = i;
            word.back() = word.back() == '0' ? '1' : '0';
            lines[i] = std::to_string(count) + " " + word;
        } else {
            frame += count;
        }
    }
    ASSERT_NE(changed, 0u);
    std::string edited;
    for (const std::string& l : lines) edited += l + "\n";
    write(edited);
    replayed(game, "game.txt", 1);
    const long expected = (frame / 60 + 1) * 60;
    EXPECT_NE(game.text("stderr.txt")
                  .find("game.txt: the game went differently from its recording by frame " +
                        std::to_string(expected)),
              std::string::npos)
        << game.text("stderr.txt") << " (changed from frame " << frame << ")";

    write(original.substr(0, original.size() / 2));
    replayed(game, "game.txt", 1);
    EXPECT_NE(game.text("stderr.txt").find("game.txt line "), std::string::npos)
        << game.text("stderr.txt");
    std::string other = original;
    other.replace(other.find("version "), 13, "version 0.0.1");
    write(other);
    replayed(game, "game.txt", 1);
    EXPECT_NE(game.text("stderr.txt").find("recorded by version 0.0.1"), std::string::npos)
        << game.text("stderr.txt");

    write(original);
    const fs::path figure = game.withoutmedia("man.txt");
    std::ofstream(figure) << std::ifstream(fs::path(VANTORIX_MEDIA_DIR) / "man.txt").rdbuf()
                          << "\n";
    replayed(game, "game.txt", 1);
    EXPECT_NE(game.text("stderr.txt").find("recorded with another figure file"), std::string::npos)
        << game.text("stderr.txt");
}

// Fifty replays are kept: the oldest of the game's own go when a new game is recorded, and
// no other file there is touched, however its name sorts.
TEST(Replays, theNewestFiftyAreKept) {
    GameFolder game;
    fs::create_directory(game.folder / "replays");
    for (int i = 10; i < 65; ++i)
        std::ofstream(game.folder / "replays" /
                      ("2020-01-01-0000" + std::to_string(i) + "-custom.txt"))
            << "old\n";
    std::ofstream(game.folder / "replays/2020-01-01-000010-custom-2.txt") << "second\n";
    for (int i = 0; i < 60; ++i)
        std::ofstream(game.folder / "replays" / ("zz-" + std::to_string(i) + ".txt")) << "mine\n";
    ASSERT_EQ(game.run("answer no\n300 tap 27\n", {"--custom", "players=2", "--frames", "400"}), 0)
        << game.text("stderr.txt");
    std::vector<fs::path> kept = game.files("replays");
    const auto others = std::stable_partition(kept.begin(), kept.end(), [](const fs::path& f) {
        return f.filename().string().rfind("zz-", 0) == 0;
    });
    EXPECT_EQ(others - kept.begin(), 60);
    kept.erase(kept.begin(), others);
    ASSERT_EQ(kept.size(), 50u);
    EXPECT_EQ(kept.front().filename(), "2020-01-01-000016-custom.txt");
    EXPECT_EQ(game.text("replays/" + kept.back().filename().string()).rfind("vantorix replay", 0),
              0u);
}

// The largest replay file the game opens, one line of 64 MiB: refused by its line at once, in
// little memory, with a message of one short line.
TEST(Replays, anEndlessLineIsRefusedWhereItStarts) {
    GameFolder game;
    {
        std::ofstream out(game.folder / "long.txt", std::ios::binary);
        out << "vantorix replay 1\nversion ";
        const std::string block(1 << 20, '\x1b');
        for (int i = 0; i < 63; ++i) out << block;
    }
    EXPECT_EQ(game.run("#\n", {"--replay", "long.txt", "--nodraw"}), 1);
    const std::string said = game.text("stderr.txt");
    EXPECT_NE(said.find("long.txt line 2: longer than 256 characters"), std::string::npos) << said;
    EXPECT_LT(said.size(), 300u);
    EXPECT_LT(game.peakKiB, (ADDRESS_LIMIT ? 100 : 400) * 1024L);
}
