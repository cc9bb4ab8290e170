// End-to-end runs of the real program in scripted mode (virtual clock, offscreen drawing): from
// the logo through the menus and matches, judged by exit status, the files the game writes and
// the colours of its screenshots in the regions where things must be.
#include "gamerun.h"
#include <cmath>
#include <fstream>
#include <functional>

namespace {

struct Rgb {
    int r, g, b;
};

Rgb at(const Pixels& p, int x, int y) {
    const uint8_t* q = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
    return {q[0], q[1], q[2]};
}

// Pixels in the rectangle [x0, x1) x [y0, y1) that satisfy the test.
int count(const Pixels& p, int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& test) {
    int n = 0;
    for (int y = y0; y < y1 && y < p.height; ++y) {
        for (int x = x0; x < x1 && x < p.width; ++x) n += test(at(p, x, y)) ? 1 : 0;
    }
    return n;
}

// Lit and clearly coloured: the channels differ, so it is not the grey of the entries.
bool coloured(Rgb c) {
    const int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
    return hi > 60 && hi - lo > 25;
}
bool menugrey(Rgb c) {
    return c.r == c.g && c.g == c.b && c.r > 60 && c.r < 140;
}
bool red(Rgb c) {
    return c.r > 120 && c.g < 60 && c.b < 60;
}
bool blue(Rgb c) {
    return c.b > 120 && c.r < 60 && c.g < 60;
}
bool black(Rgb c) {
    return std::max({c.r, c.g, c.b}) < 8;
}
bool lit(Rgb c) {
    return std::max({c.r, c.g, c.b}) > 40;
}

// The bars and figure parts are shaded pictures tinted with a team colour: a pixel of one is
// the colour times a grey level, so its channels keep the colour's proportions (within
// rounding). Dark pixels say too little and do not count.
std::function<bool(Rgb)> tinted(Rgb colour) {
    return [colour](Rgb c) {
        const int top = std::max({c.r, c.g, c.b});
        const int ctop = std::max({colour.r, colour.g, colour.b});
        if (top < 60) return false;
        const double t = double(top) / ctop;
        return std::abs(c.r - t * colour.r) <= 3 && std::abs(c.g - t * colour.g) <= 3 &&
               std::abs(c.b - t * colour.b) <= 3;
    };
}

// The brightest pixel of the rectangle (by its brightest channel).
Rgb brightest(const Pixels& p, int x0, int y0, int x1, int y1) {
    Rgb best{0, 0, 0};
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const Rgb c = at(p, x, y);
            if (std::max({c.r, c.g, c.b}) > std::max({best.r, best.g, best.b})) best = c;
        }
    }
    return best;
}

void expectnear(Rgb seen, Rgb expected, const std::string& what) {
    EXPECT_NEAR(seen.r, expected.r, 4) << what;
    EXPECT_NEAR(seen.g, expected.g, 4) << what;
    EXPECT_NEAR(seen.b, expected.b, 4) << what;
}

// The colour-blind safe colours of teams 1 and 2: vermillion and blue.
constexpr Rgb safe1{213, 94, 0}, safe2{0, 114, 178};

// Main-menu entry k (0-based) spans these rows at 1024 x 768.
int entrytop(int k) {
    return 20 + 80 * (k + 2);
}

// The logo shows until about frame 121; the main menu follows. Its colours rise from black,
// so pictures of it are taken late enough for them to show.
const std::string menuready = "answer no\n";

} // namespace

TEST(EndToEnd, menuFromLogoToQuit) {
    GameFolder game;
    const std::string script = menuready + "30 shot logo.png\n300 shot menu.png\n301 tap 38\n"
                                           "305 shot up.png\n306 tap 40\n310 shot down.png\n"
                                           "311 tap 38\n315 tap 13\n";
    ASSERT_EQ(game.run(script, {"--seed", "7", "--frames", "1000"}), 0);

    const Pixels logo = game.shot("logo.png");
    ASSERT_EQ(logo.width, 1024);
    // The logo, 205 x 275, centred and lifted by 50: lit inside, black far outside.
    EXPECT_GT(count(logo, 410, 197, 615, 472, lit), 205 * 275 / 10);
    EXPECT_EQ(count(logo, 0, 0, 300, 150, lit), 0);

    const Pixels menu = game.shot("menu.png");
    EXPECT_GT(count(menu, 200, 30, 824, 130, coloured), 500) << "title in colour";
    EXPECT_GT(count(menu, 200, entrytop(0), 824, entrytop(0) + 80, coloured), 500)
        << "SINGLE PLAYER highlighted";
    EXPECT_GT(count(menu, 200, entrytop(1), 824, entrytop(1) + 80, menugrey), 500);
    EXPECT_EQ(count(menu, 200, entrytop(5), 824, entrytop(5) + 80, coloured), 0);

    // Up from the first entry wraps to QUIT, Down from QUIT back to the first.
    const Pixels up = game.shot("up.png");
    EXPECT_GT(count(up, 200, entrytop(5), 824, entrytop(5) + 80, coloured), 300);
    EXPECT_EQ(count(up, 200, entrytop(0), 824, entrytop(0) + 80, coloured), 0);
    const Pixels down = game.shot("down.png");
    EXPECT_GT(count(down, 200, entrytop(0), 824, entrytop(0) + 80, coloured), 300);

    // A close request from the menu ends the program with status 0 as well.
    EXPECT_EQ(game.run("200 close\n", {"--frames", "1000"}), 0);
}

TEST(EndToEnd, firststartCustomWinAndBackToTheMenu) {
    GameFolder game;
    // First start: the question is answered, SINGLE PLAYER -> PLAY CUSTOM -> PLAY, a win with
    // 1+4, the tally, Enter for the next game, Escape back to the menu, QUIT.
    const std::string script = "answer no\n"
                               "150 tap 13\n160 tap 40\n165 tap 13\n175 tap 13\n"
                               "200 down 49\n200 down 52\n203 up 49\n203 up 52\n"
                               "320 shot tally.png\n330 tap 13\n400 tap 27\n"
                               "560 shot menu.png\n570 tap 38\n575 tap 13\n";
    ASSERT_EQ(game.run(script, {"--seed", "3", "--frames", "2000"}), 0) << game.text("stderr.txt");
    EXPECT_EQ(game.lines("prefs.txt"), (std::vector<std::string>{"3", "0", "1", "1", "5", "1"}));
    EXPECT_EQ(game.lines("scores.txt").size(), 120u);

    const Pixels tally = game.shot("tally.png");
    // The tally "1 - 0" near the top centre and "PRESS ENTER TO CONTINUE" at 640.
    EXPECT_GT(count(tally, 350, 50, 674, 140, lit), 300);
    EXPECT_GT(count(tally, 250, 640, 774, 690, lit), 300);

    const Pixels menu = game.shot("menu.png");
    EXPECT_GT(count(menu, 200, 30, 824, 130, coloured), 500);
    EXPECT_GT(count(menu, 200, entrytop(1), 824, entrytop(1) + 80, menugrey), 500);
}

TEST(EndToEnd, levelsLostWithANameThatReachesTheScores) {
    GameFolder game;
    std::ofstream(game.folder / "prefs.txt") << "3\r\n0\r\n1\r\n1\r\n0\r\n1\r\n";
    // SINGLE PLAYER -> PLAY LEVELS -> PLAY; level 1 won (a score of 0 would not enter the
    // table), level 2 lost, a name typed, then the SCORES screen and QUIT.
    const std::string script = "150 tap 13\n160 tap 13\n170 tap 13\n"
                               "200 down 49\n200 down 52\n203 up 49\n203 up 52\n230 tap 13\n"
                               "260 down 49\n260 down 53\n263 up 49\n263 up 53\n"
                               "280 char 97\n282 char 99\n284 char 101\n400 shot gameover.png\n"
                               "406 tap 13\n"
                               "420 tap 40\n422 tap 40\n424 tap 40\n426 tap 13\n"
                               "560 shot scores.png\n570 tap 27\n"
                               "580 tap 40\n582 tap 40\n584 tap 13\n";
    ASSERT_EQ(game.run(script, {"--seed", "5", "--frames", "2000"}), 0) << game.text("stderr.txt");
    const auto lines = game.lines("scores.txt");
    ASSERT_EQ(lines.size(), 120u);
    EXPECT_EQ(lines[0], "ACE");
    EXPECT_GT(std::stoll(lines[1]), 10000);
    EXPECT_EQ(lines[40], "ACE");

    const Pixels over = game.shot("gameover.png");
    EXPECT_GT(count(over, 300, 520, 724, 620, lit), 200) << "the typed name";

    const Pixels scores = game.shot("scores.png");
    // Twenty lines from y = 130: the first shows "1 : ACE" at x 270 and "0" ending at 754.
    EXPECT_GT(count(scores, 270, 110, 500, 150, lit), 100);
    EXPECT_GT(count(scores, 700, 110, 754, 150, lit), 10);
    EXPECT_GT(count(scores, 270, 680, 500, 720, lit), 100) << "twentieth line";
    EXPECT_EQ(count(scores, 0, 740, 1024, 768, lit), 0);
}

TEST(EndToEnd, optionsChangeTheResolutionAndReopenTheDisplay) {
    GameFolder game;
    const std::string script = menuready + "150 tap 40\n152 tap 40\n154 tap 13\n"
                                           "160 tap 40\n162 tap 37\n164 tap 13\n"
                                           "200 shot after.png\n210 tap 27\n";
    ASSERT_EQ(game.run(script, {"--frames", "1000"}), 0) << game.text("stderr.txt");
    const Pixels after = game.shot("after.png");
    EXPECT_EQ(after.width, 800);
    EXPECT_EQ(after.height, 600);
    EXPECT_EQ(game.lines("prefs.txt")[0], "2");
}

TEST(EndToEnd, optionsTeamColoursGoToTheSettingsFile) {
    GameFolder game;
    // OPTIONS, Down seven times to TEAM COLOURS (past SOUND EFFECTS and CONTROLS), Right, a
    // picture, Escape; then QUIT.
    const std::string script = menuready + "150 tap 40\n152 tap 40\n154 tap 13\n"
                                           "160 tap 40\n162 tap 40\n164 tap 40\n166 tap 40\n"
                                           "168 tap 40\n169 tap 40\n170 tap 40\n171 tap 39\n"
                                           "200 shot options.png\n"
                                           "210 tap 27\n220 tap 38\n222 tap 38\n224 tap 38\n"
                                           "226 tap 13\n";
    ASSERT_EQ(game.run(script, {"--frames", "1000"}), 0) << game.text("stderr.txt");
    EXPECT_EQ(game.lines("settings.txt"),
              (std::vector<std::string>{"soundeffects=5", "teamcolours=1", "inputdelay=-1"}));
    EXPECT_EQ(game.lines("prefs.txt").size(), 6u);
    const Pixels options = game.shot("options.png");
    // The seven lines from 250 in grey (SOUND EFFECTS and CONTROLS among them), then the
    // highlighted line 8, then ONLINE in grey.
    EXPECT_GT(count(options, 100, 250, 924, 515, menugrey), 1000);
    EXPECT_GT(count(options, 100, 525, 924, 570, menugrey), 300) << "SOUND EFFECTS";
    EXPECT_GT(count(options, 100, 580, 924, 625, menugrey), 300) << "CONTROLS";
    EXPECT_GT(count(options, 100, 635, 924, 680, coloured), 300) << "TEAM COLOURS";
    EXPECT_EQ(count(options, 100, 635, 924, 680, menugrey), 0);
    EXPECT_GT(count(options, 100, 690, 924, 735, menugrey), 300) << "ONLINE";
}

// OPTIONS, Up to the last line (ONLINE), Enter, Down to SERVER, Enter, the server typed in,
// Enter: the line shows it and settings.txt keeps it.
TEST(EndToEnd, optionsOnlineServerIsTypedIn) {
    GameFolder game;
    std::string script = menuready + "150 tap 40\n152 tap 40\n154 tap 13\n160 tap 38\n"
                                     "162 tap 13\n166 tap 40\n168 tap 13\n";
    int frame = 170;
    for (char c : std::string("Rooms.example.org:24690"))
        script += std::to_string(frame++) + " char " + std::to_string(int(c)) + "\n";
    script += "200 shot typing.png\n202 tap 13\n210 shot online.png\n220 tap 27\n222 tap 27\n"
              "230 tap 38\n232 tap 38\n234 tap 13\n";
    ASSERT_EQ(game.run(script, {"--frames", "1000"}), 0) << game.text("stderr.txt");
    EXPECT_EQ(game.lines("settings.txt").back(), "server=rooms.example.org:24690");
    // The line, highlighted, at 380 u.
    EXPECT_GT(count(game.shot("online.png"), 100, 380, 924, 425, coloured), 300);
}

TEST(EndToEnd, launchFromTheCommandLine) {
    GameFolder game;
    // --level 1 won with 1+4 reaches the level-completed state.
    const std::string win = menuready + "130 down 49\n130 down 52\n133 up 49\n133 up 52\n";
    ASSERT_EQ(game.run(win, {"--level", "1", "--trace", "trace.txt", "--frames", "200"}), 0);
    EXPECT_NE(game.text("trace.txt").find(" levelcompleted "), std::string::npos);

    // --custom, Escape: back in the main menu, where QUIT ends the game.
    const std::string back = menuready + "150 tap 27\n200 shot menu.png\n210 tap 38\n215 tap 13\n";
    ASSERT_EQ(game.run(back, {"--custom", "players=3,arena=5", "--frames", "1000"}), 0);
    EXPECT_GT(count(game.shot("menu.png"), 200, entrytop(1), 824, entrytop(1) + 80, menugrey), 500);

    // Refusals: exit 2 with the reason; --help and --version succeed.
    EXPECT_EQ(game.run("", {"--custom", "players=9"}), 2);
    EXPECT_NE(game.text("stderr.txt").find("players"), std::string::npos);
    EXPECT_NE(game.text("stderr.txt").find("usage"), std::string::npos);
    EXPECT_EQ(game.run("", {"--bogus"}), 2);
    EXPECT_EQ(game.run("", {"--help"}), 0);
    EXPECT_EQ(game.run("", {"--version"}), 0);

    // Live mode without a display: one clear line, no hang.
    EXPECT_NE(game.run("", {}, {"DISPLAY", "WAYLAND_DISPLAY"}), 0);
    EXPECT_NE(game.text("stderr.txt").find("no display"), std::string::npos);
}

TEST(EndToEnd, launchWithAMissingPictureStopsNamingIt) {
    GameFolder game;
    game.withoutmedia("spark.png");
    EXPECT_EQ(game.run(menuready, {"--frames", "100"}), 1);
    EXPECT_NE(game.text("stderr.txt").find("media/spark.png"), std::string::npos);
    EXPECT_EQ(game.lines("stderr.txt").size(), 1u) << "said once: " << game.text("stderr.txt");
}

TEST(EndToEnd, screensOfAMatch) {
    GameFolder game;
    std::ofstream(game.folder / "prefs.txt") << "3\r\n0\r\n2\r\n1\r\n0\r\n1\r\n";
    // A custom game: its first frame, frame 300, then a win and the tally with fireworks.
    const std::string custom = "122 shot first.png\n421 shot play.png\n"
                               "430 down 49\n430 down 52\n433 up 49\n433 up 52\n"
                               "560 shot tally.png\n";
    ASSERT_EQ(game.run(custom, {"--custom", "players=2", "--seed", "9", "--frames", "561"}), 0);
    // Frame 0: the whole arena small in the middle, black, ringed by the grey surroundings,
    // the figures in their colours.
    const Pixels first = game.shot("first.png");
    EXPECT_GT(count(first, 0, 20, 300, 250, menugrey), 300 * 230 * 9 / 10);
    EXPECT_GT(count(first, 420, 330, 600, 440, black), 180 * 110 / 2);
    EXPECT_GT(count(first, 340, 300, 690, 460, coloured), 5);
    // Frame 300: close up, the coloured grid and the red figure 1.
    const Pixels play = game.shot("play.png");
    EXPECT_GT(count(play, 0, 0, 1024, 768, coloured), 2000);
    EXPECT_GT(count(play, 0, 0, 1024, 768, red), 30);
    // The win: figure 1's red bar across the top, the tally in colour, the prompt.
    const Pixels tally = game.shot("tally.png");
    EXPECT_GT(count(tally, 0, 0, 1024, 12, red), 1024 * 12 * 3 / 4);
    // The standard bar is pure red at full strength where its picture is brightest.
    EXPECT_GT(count(tally, 0, 0, 1024, 15, tinted({255, 0, 0})), 1024 * 15 * 9 / 10);
    expectnear(brightest(tally, 0, 0, 1024, 15), {253, 0, 0}, "standard bar 1");
    EXPECT_GT(count(tally, 350, 50, 674, 140, coloured), 200) << "tally text";
    EXPECT_GT(count(tally, 250, 640, 774, 690, coloured), 300) << "PRESS ENTER";

    // Levels: the level-completed screen, and the game-over screen after a lost level.
    const std::string won = "130 down 49\n130 down 52\n133 up 49\n133 up 52\n430 shot done.png\n";
    ASSERT_EQ(game.run(won, {"--level", "1", "--seed", "9", "--frames", "431"}), 0);
    const Pixels done = game.shot("done.png");
    EXPECT_GT(count(done, 100, 240, 500, 300, lit), 300) << "LEVEL SCORE";
    EXPECT_GT(count(done, 724, 440, 1024, 500, lit), 100) << "total";
    EXPECT_GT(count(done, 250, 640, 774, 690, lit), 300) << "PRESS ENTER";

    const std::string lost = "130 down 49\n130 down 53\n133 up 49\n133 up 53\n400 shot over.png\n";
    ASSERT_EQ(game.run(lost, {"--level", "1", "--seed", "9", "--frames", "401"}), 0);
    const Pixels over = game.shot("over.png");
    EXPECT_GT(count(over, 0, 16, 1024, 28, blue), 1024 * 12 * 3 / 4) << "figure 2's bar";
    EXPECT_GT(count(over, 0, 15, 1024, 30, tinted({0, 0, 255})), 1024 * 15 * 9 / 10);
    expectnear(brightest(over, 0, 15, 1024, 30), {0, 0, 253}, "standard bar 2");
    EXPECT_GT(count(over, 40, 60, 984, 180, coloured), 5000) << "GAME OVER";
}

TEST(EndToEnd, screensInTheColourBlindSafePalette) {
    GameFolder game;
    std::ofstream(game.folder / "prefs.txt") << "3\r\n0\r\n2\r\n1\r\n0\r\n1\r\n";
    std::ofstream(game.folder / "settings.txt") << "soundeffects=5\nteamcolours=1\n";
    // The same custom game as above, won by figure 1: its bar and figure in vermillion, the
    // bar without a pixel of the standard red.
    const std::string custom = "421 shot play.png\n430 down 49\n430 down 52\n433 up 49\n"
                               "433 up 52\n560 shot tally.png\n";
    ASSERT_EQ(game.run(custom, {"--custom", "players=2", "--seed", "9", "--frames", "561"}), 0);
    const Pixels play = game.shot("play.png");
    EXPECT_GT(count(play, 0, 40, 1024, 768, tinted(safe1)), 30) << "figure 1";
    const Pixels tally = game.shot("tally.png");
    EXPECT_GT(count(tally, 0, 0, 1024, 15, tinted(safe1)), 1024 * 15 * 9 / 10);
    expectnear(brightest(tally, 0, 0, 1024, 15), {211, 93, 0}, "safe bar 1");
    EXPECT_EQ(count(tally, 0, 0, 1024, 15, tinted({255, 0, 0})), 0);

    // A lost level: figure 2's full bar in the safe blue.
    const std::string lost = "130 down 49\n130 down 53\n133 up 49\n133 up 53\n400 shot over.png\n";
    ASSERT_EQ(game.run(lost, {"--level", "1", "--seed", "9", "--frames", "401"}), 0);
    const Pixels over = game.shot("over.png");
    EXPECT_GT(count(over, 0, 15, 1024, 30, tinted(safe2)), 1024 * 15 * 9 / 10);
    expectnear(brightest(over, 0, 15, 1024, 30), {0, 112, 176}, "safe bar 2");
    EXPECT_EQ(count(over, 0, 15, 1024, 30, tinted({0, 0, 255})), 0);
}

TEST(EndToEnd, demoSavesScreenshots) {
    if (windowsgame()) GTEST_SKIP() << "the Windows game under Wine needs the X display";
    GameFolder game;
    ASSERT_EQ(game.run("", {"--demo", "--frames", "400"}, {"DISPLAY", "WAYLAND_DISPLAY"}), 0)
        << game.text("stderr.txt");
    EXPECT_TRUE(fs::exists(game.folder / "shots" / "shot-0001.png"));
    const Pixels shot = game.shot("shots/shot-0001.png");
    EXPECT_GT(count(shot, 0, 0, 1024, 768, coloured), 1000);
    EXPECT_FALSE(fs::exists(game.folder / "prefs.txt")) << "the demo asks nothing, writes nothing";
}

namespace {

// How far the window's picture, in the viewport (x, y, w, h) of the window, is from the game's
// own picture: the mean difference of the brightness of 32 x 32 blocks of the game, 0-255.
double scaleddifference(const Pixels& game, const Pixels& window, int x, int y, int w, int h) {
    auto brightness = [](const Pixels& p, double x0, double y0, double x1, double y1) {
        double sum = 0;
        long n = 0;
        for (int py = int(y0); py < int(y1); ++py) {
            for (int px = int(x0); px < int(x1); ++px) {
                const Rgb c = at(p, px, py);
                sum += (c.r + c.g + c.b) / 3.0, ++n;
            }
        }
        return n ? sum / n : 0;
    };
    const double sx = double(w) / game.width, sy = double(h) / game.height;
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 32 <= game.height; by += 32) {
        for (int bx = 0; bx + 32 <= game.width; bx += 32) {
            const double mine = brightness(game, bx, by, bx + 32, by + 32);
            const double shown = brightness(window, x + bx * sx, y + by * sy, x + (bx + 32) * sx,
                                            y + (by + 32) * sy);
            total += std::abs(mine - shown), ++blocks;
        }
    }
    return total / blocks;
}

} // namespace

TEST(EndToEnd, windowScalesThePictureAndAltEnterGoesFullScreen) {
    // The main menu in windows of twice the game's size and of a wide screen's shape.
    struct Area {
        int x, y, width, height; // from the top-left
    };
    struct Case {
        std::string size;
        int width, height;
        Area picture; // where the 1024 x 768 picture must be
    };
    for (const Case& c : {Case{"2048x1536", 2048, 1536, {0, 0, 2048, 1536}},
                          Case{"1600x900", 1600, 900, {200, 0, 1200, 900}}}) {
        GameFolder game;
        const std::string script = menuready + "300 windowshot window.png\n300 shot game.png\n"
                                               "310 down 164\n312 tap 13\n314 up 164\n320 close\n";
        ASSERT_EQ(game.run(script, {"--window", c.size, "--frames", "1000"}), 0)
            << game.text("stderr.txt");
        const Pixels window = game.shot("window.png");
        const Pixels picture = game.shot("game.png");
        ASSERT_EQ(window.width, c.width);
        ASSERT_EQ(window.height, c.height);
        // The game keeps drawing its own size, and the script's shots are of that size.
        ASSERT_EQ(picture.width, 1024);
        ASSERT_EQ(picture.height, 768);
        ASSERT_GT(count(picture, 200, 30, 824, 130, coloured), 500) << "no menu to compare";
        const Area& v = c.picture;
        EXPECT_LT(scaleddifference(picture, window, v.x, v.y, v.width, v.height), 6.0) << c.size;
        // The bars beside the picture are black, every pixel of them.
        const int barpixels = v.x * c.height;
        EXPECT_EQ(count(window, 0, 0, v.x, c.height, black), barpixels) << c.size;
        EXPECT_EQ(count(window, v.x + v.width, 0, c.width, c.height, black), barpixels) << c.size;
        // Alt+Enter went full screen and kept it as the options screen does.
        EXPECT_EQ(game.lines("prefs.txt").at(1), "1");
    }
}
