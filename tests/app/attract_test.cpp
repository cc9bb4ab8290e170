// Attract mode: the main menu left alone for 30 seconds shows a game by itself, the newest
// replay when there is one, until a key; then the menu goes on where it was.
#include "app/replays.h"
#include "apptest.h"
#include "match/replay.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include <filesystem>

namespace {

bool drawn(const std::vector<DrawCall>& frame, const std::string& text) {
    return findtext(frame, text) != nullptr;
}

// A two-figure custom game that figure 1 wins at frame 100 (its tally then reads "1 - 0"),
// then, when long, 300 000 frames of steering that changes every frame (over 1 MiB of text).
void writereplay(const std::string& path, bool longone = false) {
    Replay replay;
    replay.version = VANTORIX_VERSION;
    replay.figures = gamefigures();
    replay.start.custom.players = 2;
    MatchInput win, left;
    win.fillbar1 = true;
    left.figures[0].left = true;
    replay.runs = {{MatchInput{}, 100}, {win, 1}, {MatchInput{}, 3000}};
    for (int i = 0; longone && i < 300000; ++i) replay.add(i % 2 ? left : MatchInput{});
    std::string error;
    ASSERT_TRUE(ReplaceFileContents(path, replaytext(replay), error)) << error;
}

} // namespace

TEST_F(AppTest, AttractModeAfterThirtySecondsUntilAKey) {
    opendisplay(1);
    std::filesystem::remove_all(REPLAYFOLDER);
    // No replay: a computer game of four. Down ends it without moving the highlight, and
    // Enter then chooses the entry that was highlighted before.
    input("2100 tap 40\n2110 tap 13\n");
    EXPECT_EQ(app.mainmenu(2), 2);
    auto all = frames();
    ASSERT_GE(all.size(), 2110u);
    EXPECT_TRUE(drawn(all[1700], "VANTORIX")) << "still the menu after 28 s";
    EXPECT_FALSE(drawn(all[2000], "VANTORIX")) << "a game after 30 s";
    EXPECT_TRUE(drawn(all.back(), "VANTORIX"));

    // The newest replay is shown: its win comes and its tally is drawn.
    std::filesystem::create_directory(REPLAYFOLDER);
    writereplay(std::string(REPLAYFOLDER) + "/2020-01-01-000000-custom.txt");
    forget();
    input("2300 tap 65\n2310 tap 13\n");
    EXPECT_EQ(app.mainmenu(0), 0);
    all = frames();
    bool tally = false;
    for (size_t f = 1900; f < 2300 && f < all.size(); ++f) tally = tally || drawn(all[f], "1 - 0");
    EXPECT_TRUE(tally);

    // A newer replay of over 1 MiB is passed over (a computer game instead), and so is a file
    // that only sorts later.
    writereplay(std::string(REPLAYFOLDER) + "/2021-01-01-000000-custom.txt", true);
    writereplay(std::string(REPLAYFOLDER) + "/zz.txt");
    forget();
    input("2300 tap 65\n2310 tap 13\n");
    EXPECT_EQ(app.mainmenu(0), 0);
    all = frames();
    tally = false;
    for (size_t f = 1900; f < 2300 && f < all.size(); ++f) tally = tally || drawn(all[f], "1 - 0");
    EXPECT_FALSE(tally);
    std::filesystem::remove_all(REPLAYFOLDER);
}

// Watching leaves the random generator as it was, so what the menu leads to next is the same.
TEST_F(AppTest, AttractModeLeavesTheRandomNumbersAlone) {
    opendisplay(1);
    SeedRandom(1234);
    const int before = RandomState();
    input("200 tap 32\n");
    app.attract();
    EXPECT_EQ(RandomState(), before);
    EXPECT_GT(frames().size(), 199u);
}
