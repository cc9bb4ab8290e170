// Starting the runtime: refusing to run unseen, script errors, and full screen letterboxing.
#include "platform_fixture.h"
#include "runtime/graphics.h"
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

// SDL falls back to its invisible offscreen driver when no display answers; a live start must
// refuse with one line rather than run a game nobody can see.
TEST_F(RuntimeTest, LiveStartWithoutARealDisplayRefusesWithOneLine) {
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    setenv("DISPLAY", ":97", 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1); // what SDL picks when no server answers
    EXPECT_FALSE(DisplayAvailable());
    RuntimeOptions options;
    options.sound = false;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(InitRuntime(options));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "vantorix: no display found; run headless with --script FILE (see README)\n");
    unsetenv("DISPLAY");
    EXPECT_FALSE(DisplayAvailable());
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
}

TEST_F(RuntimeTest, MalformedScriptStopsTheStartWithItsLineNumber) {
    std::ofstream(path("bad.txt")) << "0 down 13\n5 jump 13\n";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(start(VideoMode::None, path("bad.txt")));
    std::string error = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("bad.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("line 2: "), std::string::npos) << error;
    EXPECT_FALSE(start(VideoMode::None, path("missing.txt")));
}

// A FIFO would wait for a writer forever, /dev/zero never ends and a folder is no script: each
// is refused at once with its reason.
TEST_F(RuntimeTest, AScriptThatIsNoRegularFileIsRefusedAtOnce) {
    ASSERT_EQ(mkfifo(path("fifo.txt").c_str(), 0600), 0);
    struct Case {
        std::string file, reason;
    } cases[] = {{path("fifo.txt"), "not a regular file"},
                 {"/dev/zero", "not a regular file"},
                 {folder.string(), "not a regular file"}};
    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(start(VideoMode::None, c.file));
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find(c.file + ": " + c.reason), std::string::npos) << said;
    }
    // Nor is a file beyond any real script's size.
    { std::ofstream(path("huge.txt")) << "0 close\n"; }
    ASSERT_EQ(truncate(path("huge.txt").c_str(), 17 * 1024 * 1024), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(start(VideoMode::None, path("huge.txt")));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("larger than 16 MiB"),
              std::string::npos);
}

// Full screen covers the desktop; the game still sees and saves its own 640 x 480.
TEST_F(RuntimeTest, FullScreenKeepsTheGameSize) {
    ASSERT_TRUE(start(VideoMode::Offscreen));
    ASSERT_EQ(OpenGraphics(640, 480, 32, 60, 0), 1);
    EXPECT_EQ(GraphicsWidth(), 640);
    EXPECT_EQ(GraphicsHeight(), 480);
    ClearScreen();
    SetBlendMode(BLEND_SOLID);
    SetDrawColor(0, 255, 0);
    DrawRect(320, 0, 320, 480); // the right half
    Pixels shot;
    ASSERT_TRUE(TestRenderer()->readPixels(shot));
    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 480);
    auto green = [&](int x, int y) { return shot.rgba[(size_t(y) * 640 + x) * 4 + 1]; };
    EXPECT_EQ(green(316, 240), 0);
    EXPECT_EQ(green(324, 240), 255);
    EXPECT_EQ(green(639, 0), 255);
    EXPECT_EQ(green(639, 479), 255);
    CloseGraphics();
    EXPECT_EQ(GraphicsWidth(), 0);
    ASSERT_EQ(OpenGraphics(800, 600, 0, 60, 0), 1); // reopening, as the options screen does
    EXPECT_EQ(GraphicsWidth(), 800);
}
