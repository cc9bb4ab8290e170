// The menu screens driven by scripted keys, checked through the drawing log: layout at the
// three display widths, wrap-around, clamping, what Escape keeps and when the display reopens.
#include "app/menuwidgets.h"
#include "apptest.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include <algorithm>
#include <set>

namespace {

// Every distinct text starting with the prefix, in the order the frames first drew it.
std::vector<std::string> shown(const std::vector<std::vector<DrawCall>>& frames,
                               const std::string& prefix) {
    std::vector<std::string> texts;
    for (const auto& frame : frames) {
        const DrawCall* call = findprefix(frame, prefix);
        if (call && (texts.empty() || texts.back() != call->what)) texts.push_back(call->what);
    }
    return texts;
}

// Every entry of every frame is either the grey of the others or, for the one highlighted, a
// colour whose brightest channel is at least 150. The title is not an entry.
void expectreadablehighlight(const std::vector<std::vector<DrawCall>>& frames,
                             const std::string& screen) {
    ASSERT_GE(frames.size(), 203u) << screen;
    for (size_t f = 0; f < frames.size(); ++f) {
        int highlighted = 0;
        for (const DrawCall& call : frames[f]) {
            if (call.kind != DrawCall::Text || call.what == "VANTORIX" || isgrey(call)) continue;
            ++highlighted;
            EXPECT_GE(std::max({call.state.r, call.state.g, call.state.b}), 150)
                << screen << ", frame " << f << ": " << call.what;
        }
        EXPECT_EQ(highlighted, 1) << screen << ", frame " << f;
    }
}

} // namespace

TEST_F(AppTest, LogoShowsTwoSecondsOrUntilAKeyIsHeld) {
    opendisplay(1);
    app.splash();
    const auto alone = frames();
    EXPECT_GE(alone.size(), 120u);
    EXPECT_LE(alone.size(), 122u);
    ASSERT_EQ(alone[0].size(), 1u);
    EXPECT_EQ(alone[0][0].what, "media/logo.png");
    EXPECT_FLOAT_EQ(alone[0][0].x, 217);
    EXPECT_FLOAT_EQ(alone[0][0].y, 52);

    forget();
    input("2 down 32\n4 up 32\n");
    app.splash();
    EXPECT_EQ(frames().size(), 2u);
}

TEST_F(AppTest, MainMenuWrapsAroundAndReturnsTheChoice) {
    opendisplay(3);
    input("1 tap 38\n3 tap 13\n");
    EXPECT_EQ(app.mainmenu(SINGLEPLAYER), QUIT);
    const auto last = frames().back();
    EXPECT_TRUE(isgrey(*findtext(last, "SINGLE PLAYER")));
    EXPECT_FALSE(isgrey(*findtext(last, "QUIT")));
    input("1 tap 40\n3 tap 32\n");
    EXPECT_EQ(app.mainmenu(QUIT), SINGLEPLAYER);
    input("1 tap 40\n3 tap 40\n5 tap 13\n");
    EXPECT_EQ(app.mainmenu(OPTIONS), HELP);
}

TEST_F(AppTest, MainMenuLayoutScalesWithTheWidth) {
    opendisplay(1);
    input("2 tap 13\n");
    app.mainmenu(SINGLEPLAYER);
    const auto small = frames();
    const DrawCall* title = findtext(small[0], "VANTORIX");
    ASSERT_NE(title, nullptr);
    EXPECT_FLOAT_EQ(title->state.scaleX, 0.4375f);
    EXPECT_FLOAT_EQ(title->y, 18.75f);
    EXPECT_FLOAT_EQ(title->x, (640 - TextWidth("VANTORIX") * 0.4375f) / 2);

    opendisplay(2);
    input("2 tap 13\n");
    app.mainmenu(SINGLEPLAYER);
    const auto medium = frames();
    const DrawCall* first = findtext(medium[0], "SINGLE PLAYER");
    ASSERT_NE(first, nullptr);
    EXPECT_FLOAT_EQ(first->y, 140.625f);
    EXPECT_FLOAT_EQ(first->state.scaleX, 0.6f * 800 / 1024);
    EXPECT_FLOAT_EQ(findtext(medium[0], "QUIT")->y, (20 + 80 * 7) * 800.0f / 1024);
}

TEST_F(AppTest, HighlightKeepsItsHueAndNeverFallsBelowBrightness150) {
    const float black[3] = {0, 0, 0};
    EXPECT_EQ(highlightcolour(black), (std::array<int, 3>{150, 150, 150}));
    const float bright[3] = {200.7f, 3.2f, 90};
    EXPECT_EQ(highlightcolour(bright), (std::array<int, 3>{200, 3, 90}));
    const float dark[4][3] = {{20, 40, 80}, {3, 3, 3}, {149.9f, 10, 0}, {0, 7.5f, 1}};
    for (const auto& row : dark) {
        const std::array<int, 3> c = highlightcolour(row);
        const int top = std::max({int(row[0]), int(row[1]), int(row[2])});
        EXPECT_EQ(std::max({c[0], c[1], c[2]}), 150);
        // Each channel scaled by the same factor, to the nearest whole value.
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(c[i], int(row[i]) * 150.0 / top, 0.5);
    }
}

TEST_F(AppTest, EveryMenuHighlightsReadablyFromItsFirstFrame) {
    // The colour rows start black and climb by 2 a frame: for some 75 frames the drifting
    // colour alone would be darker than the grey entries. Each screen starts from black here.
    const auto fromblack = [this] {
        for (auto& row : app.colours) row[0] = row[1] = row[2] = 0;
        forget();
    };
    opendisplay(3);
    const std::vector<std::pair<std::string, std::string>> screens = {
        {"main menu", "205 tap 13\n"},
        {"single player", "205 tap 27\n"},
        // PLAY LEVELS or PLAY CUSTOM at once, then their own screens rising from black.
        {"initial level", "1 tap 13\n205 tap 27\n"},
        {"custom", "1 tap 40\n3 tap 13\n205 tap 27\n"},
        {"multiplayer", "205 tap 27\n"},
        {"options", "1 tap 40\n205 tap 27\n"},
    };
    for (const auto& [screen, keys] : screens) {
        fromblack();
        input(keys);
        if (screen == "main menu") {
            app.mainmenu(SINGLEPLAYER);
        } else if (screen == "multiplayer") {
            app.multiplayersetup();
        } else if (screen == "options") {
            app.options();
        } else {
            app.singleplayer();
        }
        expectreadablehighlight(frames(), screen);
    }
}

TEST_F(AppTest, ACentredLineTooWideForTheScreenShrinksBetweenTheMargins) {
    opendisplay(1);
    const std::string banner = "A BANNER FAR TOO LONG FOR THE SMALLEST SCREEN";
    const float u = 640 / 1024.0f;
    ClearScreen();
    drawcentred(banner, 0.6f * u, 100, 640);
    drawcentred("QUIT", 0.6f * u, 200, 640);
    const auto drawn = frames().back();
    const DrawCall* wide = findtext(drawn, banner);
    ASSERT_NE(wide, nullptr);
    ASSERT_GT(TextWidth(banner) * 0.6f * u, 640) << "the banner must not fit at its own scale";
    EXPECT_NEAR(wide->x, 20 * u, 1e-3);
    EXPECT_NEAR(wide->x + TextWidth(banner) * wide->state.scaleX, 640 - 20 * u, 1e-3);
    EXPECT_FLOAT_EQ(findtext(drawn, "QUIT")->state.scaleX, 0.6f * u);
}

TEST_F(AppTest, EscapeOnTheMainMenuEndsTheProgramWithStatusZero) {
    opendisplay(3);
    input("1 tap 27\n");
    int status = -1;
    try {
        app.mainmenu(SINGLEPLAYER);
    } catch (const ProgramEnd& end) {
        status = end.status;
    }
    EXPECT_EQ(status, 0);
}

TEST_F(AppTest, InitialLevelMovesInFivesUpToTheUnlockedLevel) {
    opendisplay(3);
    app.prefs.unlockedlevel = 21;
    app.initiallevel = 21;
    // PLAY LEVELS, then Down to the level line and Left five times, then back.
    input("1 tap 13\n4 tap 40\n6 tap 37\n8 tap 37\n10 tap 37\n12 tap 37\n14 tap 37\n16 tap 27\n");
    app.singleplayer();
    EXPECT_EQ(
        shown(frames(), "INITIAL LEVEL= "),
        (std::vector<std::string>{"INITIAL LEVEL= 21", "INITIAL LEVEL= 16", "INITIAL LEVEL= 11",
                                  "INITIAL LEVEL= 6", "INITIAL LEVEL= 1"}));
    EXPECT_EQ(app.initiallevel, 1); // Escape keeps the choice

    app.prefs.unlockedlevel = 1;
    forget();
    input("1 tap 13\n4 tap 40\n6 tap 39\n8 tap 39\n10 tap 27\n");
    app.singleplayer();
    EXPECT_EQ(shown(frames(), "INITIAL LEVEL= "), std::vector<std::string>{"INITIAL LEVEL= 1"});
    EXPECT_EQ(app.initiallevel, 1);
}

TEST_F(AppTest, CustomSettingsClampWrapAndSurviveEscape) {
    opendisplay(3);
    // PLAY CUSTOM; NUMBER OF PLAYERS up three times; AI LEVEL down six times; Up twice.
    std::string keys = "1 tap 40\n3 tap 13\n6 tap 40\n8 tap 39\n10 tap 39\n12 tap 39\n";
    keys += "14 tap 40\n16 tap 40\n";
    for (int f = 18; f < 30; f += 2) keys += std::to_string(f) + " tap 37\n";
    keys += "30 tap 38\n32 tap 38\n34 tap 38\n36 tap 38\n38 tap 27\n";
    input(keys);
    app.customsettings.ailevel = 4;
    app.singleplayer();
    EXPECT_EQ(shown(frames(), "NUMBER OF PLAYERS= "),
              (std::vector<std::string>{"NUMBER OF PLAYERS= 2", "NUMBER OF PLAYERS= 3",
                                        "NUMBER OF PLAYERS= 4"}));
    EXPECT_EQ(shown(frames(), "AI LEVEL= ").back(), "AI LEVEL= 0");
    // Up on PLAY highlights the last line.
    const auto last = frames().back();
    EXPECT_TRUE(isgrey(*findtext(last, "PLAY")));
    EXPECT_FALSE(isgrey(*findtext(last, "ARENA= 1")));
    EXPECT_FLOAT_EQ(findtext(last, "ARENA= 1")->y, 590 * 1.0f);
    EXPECT_EQ(app.customsettings.players, 4);
    EXPECT_EQ(app.customsettings.ailevel, 0);
}

TEST_F(AppTest, MultiplayerPlayersStopAtThreeAndPlayIsConfirmedOnlyOnPlay) {
    opendisplay(3);
    input("1 tap 40\n3 tap 37\n5 tap 39\n7 tap 39\n9 tap 13\n11 tap 27\n");
    EXPECT_FALSE(app.multiplayersetup());
    EXPECT_EQ(shown(frames(), "NUMBER OF PLAYERS= "),
              (std::vector<std::string>{"NUMBER OF PLAYERS= 2", "NUMBER OF PLAYERS= 3"}));
    EXPECT_EQ(app.multisettings.players, 3);
    EXPECT_EQ(app.customsettings.players, 2); // the custom record is a different one
    input("1 tap 32\n");
    EXPECT_TRUE(app.multiplayersetup());
}

TEST_F(AppTest, OptionsReopenTheDisplayOnlyOnARealChange) {
    opendisplay(3);
    app.prefs.musicvolume = 12;
    const TImage before = app.ballimage;
    // Resolution 3 -> 1 -> 3, trail up one, then leave with Escape.
    input("1 tap 40\n3 tap 37\n5 tap 37\n7 tap 39\n9 tap 39\n11 tap 40\n13 tap 39\n15 tap 27\n");
    app.options();
    EXPECT_EQ(app.ballimage, before);
    EXPECT_EQ(app.screenwidth, 1024);
    // A volume read out of range shows once as read, then clamped.
    EXPECT_NE(findtext(frames()[0], "MUSIC VOLUME= 12"), nullptr);
    EXPECT_NE(findtext(frames()[1], "MUSIC VOLUME= 10"), nullptr);
    EXPECT_NE(findtext(frames()[6], "SCREEN RESOLUTION= 640 x 480"), nullptr);
    EXPECT_EQ(filelines("prefs.txt"), (std::vector<std::string>{"3", "0", "2", "1", "10", "1"}));

    input("1 tap 40\n3 tap 37\n5 tap 37\n7 tap 13\n");
    app.options();
    EXPECT_NE(app.ballimage, before);
    EXPECT_EQ(app.screenwidth, 640);
    EXPECT_EQ(Recorder()->width, 640);
    EXPECT_EQ(filelines("prefs.txt")[0], "1");
}

TEST_F(AppTest, TeamColoursAndTheOnlineInputDelayGoToTheSettingsFile) {
    opendisplay(1);
    // Down seven times from FULL SCREEN (past SOUND EFFECTS and CONTROLS), Right twice (the
    // second is clamped), Down to the last line, ONLINE, Enter, Right on INPUT DELAY (from AUTO
    // to NONE), Escape twice.
    input("1 tap 40\n3 tap 40\n5 tap 40\n7 tap 40\n9 tap 40\n10 tap 40\n11 tap 40\n12 tap 39\n"
          "14 tap 39\n16 tap 40\n18 tap 13\n22 tap 39\n24 tap 27\n26 tap 27\n");
    app.options();
    const auto drawn = frames();
    const DrawCall* line = findtext(drawn[0], "TEAM COLOURS= STANDARD");
    ASSERT_NE(line, nullptr);
    EXPECT_FLOAT_EQ(line->y, 635 * 0.625f);
    EXPECT_FLOAT_EQ(line->state.scaleX, 0.3f * 0.625f);
    EXPECT_TRUE(isgrey(*line));
    const DrawCall* online = findtext(drawn[0], "ONLINE");
    ASSERT_NE(online, nullptr);
    EXPECT_FLOAT_EQ(online->y, 690 * 0.625f);
    const DrawCall* safe = findtext(drawn.back(), "TEAM COLOURS= COLOUR-BLIND SAFE");
    ASSERT_NE(safe, nullptr);
    bool none = false;
    for (const auto& frame : drawn) none = none || findtext(frame, "INPUT DELAY= NONE");
    EXPECT_TRUE(none) << "the ONLINE screen shows the delay chosen";
    EXPECT_EQ(app.settings.teamcolours, 1);
    EXPECT_EQ(app.settings.inputdelay, 0);
    EXPECT_EQ(filelines("settings.txt"),
              (std::vector<std::string>{"soundeffects=5", "teamcolours=1", "inputdelay=0"}));
    EXPECT_EQ(filelines("prefs.txt"), (std::vector<std::string>{"3", "0", "1", "1", "5", "1"}));

    // Up wraps to the last line and on to TEAM COLOURS, Left brings the standard colours back,
    // Down twice wraps to FULL SCREEN.
    input("1 tap 38\n3 tap 38\n5 tap 37\n7 tap 40\n9 tap 40\n11 tap 13\n");
    app.options();
    EXPECT_EQ(app.settings.teamcolours, 0);
    EXPECT_EQ(filelines("settings.txt")[1], "teamcolours=0");
    EXPECT_FALSE(isgrey(*findtext(frames().back(), "FULL SCREEN= 0")));
}

TEST_F(AppTest, HelpIgnoresAKeyHeldOnEntry) {
    opendisplay(1);
    TestKeyDown(KEY_ENTER);
    input("3 up 13\n6 tap 27\n");
    app.showhelp();
    const auto drawn = frames();
    ASSERT_GE(drawn.size(), 6u);
    const DrawCall* last = findtext(drawn[0], "WHEN YOUR COLOR BAR REACHES THE END, YOU WIN");
    ASSERT_NE(last, nullptr);
    EXPECT_FLOAT_EQ(last->y, 406.25f);
    // The whole page but the title shares row 2's colour.
    std::set<int> colours;
    for (const DrawCall& call : drawn[0]) {
        if (call.what != "VANTORIX")
            colours.insert(call.state.r * 65536 + call.state.g * 256 + call.state.b);
    }
    EXPECT_EQ(colours.size(), 1u);
}

TEST_F(AppTest, ScoresBuildUpOneLineEveryFiveFramesWithAlignedColons) {
    opendisplay(3);
    input("101 tap 27\n");
    app.showscores();
    const auto drawn = frames();
    ASSERT_GE(drawn.size(), 101u);
    EXPECT_EQ(findtext(drawn[4], ": NOBODY"), nullptr);
    const DrawCall* first = findtext(drawn[5], ": NOBODY");
    ASSERT_NE(first, nullptr);
    EXPECT_FLOAT_EQ(first->y, 130);
    EXPECT_NE(findtext(drawn[5], "1"), nullptr);
    EXPECT_EQ(findtext(drawn[99], "20"), nullptr);
    ASSERT_NE(findtext(drawn[100], "20"), nullptr);
    const DrawCall* score = findtext(drawn[5], "0");
    ASSERT_NE(score, nullptr);
    EXPECT_FLOAT_EQ(score->x, 1024 - 270 - TextWidth("0") * 0.2f);
}

// The SCORES screen once its twenty lines are up, at one of the three widths.
class ScoresTest : public AppTest {
  protected:
    std::vector<DrawCall> shownat(int resolution) {
        opendisplay(resolution);
        input("101 tap 27\n");
        app.showscores();
        return frames().back();
    }
};

TEST_F(ScoresTest, PlacesEndAtOneColumnSoEveryColonSharesItsX) {
    for (int resolution : {1, 2, 3}) {
        const std::vector<DrawCall> last = shownat(resolution);
        const float u = app.screenwidth / 1024.0f;
        // Each line: the place, the colon with the name, the score.
        std::vector<float> colons;
        float leftmost = 1e9f;
        for (size_t i = 1; i + 1 < last.size(); ++i) {
            const DrawCall& colon = last[i];
            if (colon.kind != DrawCall::Text || colon.what.rfind(": ", 0) != 0) continue;
            const DrawCall& place = last[i - 1];
            ASSERT_EQ(place.what, std::to_string(colons.size() + 1));
            EXPECT_EQ(place.y, colon.y);
            EXPECT_NEAR(place.x + TextWidth(place.what) * place.state.scaleX, colon.x, 1e-3)
                << "place " << place.what << " at " << app.screenwidth;
            leftmost = std::min(leftmost, place.x);
            colons.push_back(colon.x);
        }
        ASSERT_EQ(colons.size(), 20u);
        for (float x : colons) EXPECT_EQ(x, colons[0]) << app.screenwidth;
        // The widest place starts the column at 270 u.
        EXPECT_FLOAT_EQ(leftmost, 270 * u);
    }
}

// Fifteen wide letters and a seven-digit score share a line without touching, at every width;
// the short names keep their size.
TEST_F(ScoresTest, DrawALongNameSmallerBeforeItsScore) {
    addscore("WWWWWWWWWWWWWWW", 9999999, *app.scores);
    for (int resolution : {1, 2, 3}) {
        const std::vector<DrawCall> last = shownat(resolution);
        const float u = app.screenwidth / 1024.0f;
        const DrawCall* name = findtext(last, ": WWWWWWWWWWWWWWW");
        const DrawCall* score = findtext(last, "9999999");
        ASSERT_NE(name, nullptr);
        ASSERT_NE(score, nullptr);
        EXPECT_LE(name->x + TextWidth(name->what) * name->state.scaleX, score->x - 20 * u + 1e-3)
            << app.screenwidth;
        EXPECT_LT(name->state.scaleX, 0.2f * u);
        EXPECT_FLOAT_EQ(findtext(last, ": NOBODY")->state.scaleX, 0.2f * u);
    }
}

TEST_F(AppTest, OptionsSetTheSoundEffectsVolumeKeptInSettings) {
    opendisplay(3);
    // Down five lines to SOUND EFFECTS, two steps right, leave.
    input("1 tap 40\n2 tap 40\n3 tap 40\n4 tap 40\n5 tap 40\n7 tap 39\n9 tap 39\n11 tap 27\n");
    app.options();
    const auto drawn = frames();
    const DrawCall* line = findtext(drawn[0], "SOUND EFFECTS= 5");
    ASSERT_NE(line, nullptr);
    EXPECT_FLOAT_EQ(line->y, 525);
    EXPECT_FLOAT_EQ(line->state.scaleX, 0.3f);
    EXPECT_NE(findtext(drawn[10], "SOUND EFFECTS= 7"), nullptr);
    EXPECT_EQ(app.settings.soundeffects, 7);
    EXPECT_EQ(filelines("settings.txt").at(0), "soundeffects=7");
    // The menus and the next match hear the new volume; prefs.txt keeps its six lines.
    EXPECT_FLOAT_EQ(app.matchsounds.volume, 0.7f);
    EXPECT_FLOAT_EQ(app.menusounds.volume, 0.7f);
    EXPECT_EQ(filelines("prefs.txt").size(), 6u);
}
