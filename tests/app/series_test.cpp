// The series drivers playing real matches, won and lost through the shortcut keys (1+4: the
// player's bar passes the goal, 1+5: figure 2's does): unlocks and scores written at once, the
// win tally carried from game to game.
#include "apptest.h"
#include "runtime/stream.h"
#include <filesystem>

namespace {

// Script lines for games decided one after another, one every 30 frames from frame 10, each
// confirmed with Enter; then Escape in the game that follows. winners: '4' the player, '5' the
// computer figure 2.
std::string games(const std::string& winners, const std::string& extra = "") {
    std::string script;
    long f = 10;
    for (char w : winners) {
        const std::string start = std::to_string(f), stop = std::to_string(f + 2);
        script += start + " down 49\n" + start + " down " + std::to_string(w - '4' + 52) + "\n";
        script += stop + " up 49\n" + stop + " up " + std::to_string(w - '4' + 52) + "\n";
        script += std::to_string(f + 6) + " tap 13\n";
        f += 30;
    }
    return script + extra + std::to_string(f) + " tap 27\n";
}

// The win tallies shown, each once, in the order they appeared.
std::vector<std::string> tallies(const std::vector<std::vector<DrawCall>>& frames) {
    std::vector<std::string> seen;
    for (const auto& frame : frames) {
        for (const DrawCall& call : frame) {
            if (call.kind != DrawCall::Text || call.what.find(" - ") == std::string::npos) continue;
            if (seen.empty() || seen.back() != call.what) seen.push_back(call.what);
        }
    }
    return seen;
}

} // namespace

TEST_F(AppTest, WinningEveryFifthLevelUnlocksTheNextAndWritesItAtOnce) {
    opendisplay(1);
    app.initiallevel = 1;
    input(games("44444"));
    app.playlevels();
    EXPECT_EQ(app.prefs.unlockedlevel, 6);
    EXPECT_EQ(app.initiallevel, 6);
    // Level 6 was left with Escape, which saves nothing: the file was written at the win.
    EXPECT_EQ(filelines("prefs.txt"), (std::vector<std::string>{"3", "0", "1", "1", "5", "6"}));

    // From level 6 with 21 unlocked before: winning level 10 sets 11 all the same.
    app.prefs.unlockedlevel = 21;
    input(games("44444"));
    app.playlevels();
    EXPECT_EQ(app.prefs.unlockedlevel, 11);
    EXPECT_EQ(filelines("prefs.txt")[5], "11");
    EXPECT_EQ(FileExists("scores.txt"), 0); // nothing lost, nothing to record
}

TEST_F(AppTest, LevelFortyNeverUnlocksAndRecordsTheTypedName) {
    opendisplay(1);
    app.prefs.unlockedlevel = 36;
    app.initiallevel = 40;
    // Won; Enter on the level-completed screen leads to the game-over screen; a name; Enter.
    input("10 down 49\n10 down 52\n12 up 49\n12 up 52\n16 tap 13\n20 char 106\n22 char 111\n"
          "24 tap 13\n");
    app.playlevels();
    EXPECT_EQ(app.prefs.unlockedlevel, 36);
    EXPECT_EQ(FileExists("prefs.txt"), 0);
    const auto lines = filelines("scores.txt");
    ASSERT_EQ(lines.size(), 120u);
    EXPECT_EQ(lines[0], "JO");
    EXPECT_GE(std::stoll(lines[1]), 400000);
    EXPECT_EQ(app.scores->first()->name, "JO");
}

TEST_F(AppTest, ALostLevelWithoutANameRecordsNothing) {
    opendisplay(1);
    app.initiallevel = 1;
    input("10 down 49\n10 down 53\n12 up 49\n12 up 53\n16 tap 13\n");
    app.playlevels();
    EXPECT_EQ(FileExists("scores.txt"), 0);
    for (const auto& entry : *app.scores) EXPECT_EQ(entry->name, "NOBODY");
}

TEST_F(AppTest, MultiplayerTallyCarriesFromGameToGame) {
    opendisplay(1);
    Tmultisettings settings;
    // Figures 2, 2 and 1 win; then the player wins a fourth, which starts from 1 - 2.
    input(games("5544"));
    app.playmultiplayer(settings);
    EXPECT_EQ(tallies(frames()), (std::vector<std::string>{"0 - 1", "0 - 2", "1 - 2", "2 - 2"}));
}

// Saves that could not be read at start-up stay untouched all run long, even through an
// unlock and a high score that would otherwise be written at once.
TEST_F(AppTest, SavesUnreadableAtStartAreNeverWrittenLater) {
    std::filesystem::create_symlink("prefs.txt", "prefs.txt"); // a loop: cannot be opened
    std::filesystem::create_symlink("scores.txt", "scores.txt");
    testing::internal::CaptureStderr();
    app.loadscores();
    app.loadprefs();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("prefs.txt"), std::string::npos) << said;
    EXPECT_NE(said.find("scores.txt"), std::string::npos) << said;
    opendisplay(1);
    app.initiallevel = 1;
    // Five levels won (an unlock), then level 6 lost with a name typed.
    std::string script = games("44444");
    script.erase(script.rfind("160 tap 27"));
    input(script + "160 down 49\n160 down 53\n162 up 49\n162 up 53\n170 char 106\n172 tap 13\n");
    app.playlevels();
    EXPECT_EQ(app.prefs.unlockedlevel, 6);
    EXPECT_EQ(app.scores->first()->name, "J"); // names are typed in capitals
    for (const char* file : {"prefs.txt", "scores.txt"}) {
        EXPECT_TRUE(std::filesystem::is_symlink(file)) << file << " was replaced";
        EXPECT_FALSE(
            std::filesystem::exists(std::filesystem::symlink_status(std::string(file) + ".tmp")));
    }
    std::filesystem::remove("prefs.txt");
    std::filesystem::remove("scores.txt");
}
