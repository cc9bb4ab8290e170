// Scripted runs: the virtual clock, frames, script delivery, shots, the frame limit and the
// pause rule.
#include "platform_fixture.h"
#include "runtime/clock.h"
#include "runtime/dialog.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/pngio.h"
#include "runtime/runtime.h"
#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

class Scripted : public RuntimeTest {
  protected:
    std::string script(const std::string& text) {
        std::ofstream(path("input.txt")) << text;
        return path("input.txt");
    }
};

// The colour of the middle pixel of a saved picture.
void ExpectPicture(const std::string& file, int width, int height, int r, int g, int b) {
    Pixels pixels;
    bool alpha = false;
    std::string error;
    ASSERT_TRUE(ReadPng(file, pixels, alpha, error)) << error;
    EXPECT_EQ(pixels.width, width);
    EXPECT_EQ(pixels.height, height);
    const uint8_t* p = &pixels.rgba[(static_cast<size_t>(height / 2) * width + width / 2) * 4];
    EXPECT_EQ(p[0], r);
    EXPECT_EQ(p[1], g);
    EXPECT_EQ(p[2], b);
}

} // namespace

TEST_F(Scripted, SixHundredPacedFlipsTakeTenSeconds) {
    ASSERT_TRUE(start(VideoMode::None));
    OpenGraphics(640, 480, 0, 60, 0);
    const int begin = Millisecs();
    for (int i = 0; i < 600; ++i) FlipFrame(-1);
    EXPECT_NEAR(Millisecs() - begin, 10000, 17);
    EXPECT_EQ(FramesPresented(), 600);
}

TEST_F(Scripted, KeysCharactersAnswersAndCloseArriveAfterTheirFrame) {
    ASSERT_TRUE(start(VideoMode::Recording,
                      script("answer yes\nanswer cancel\n0 down 38\n1 tap 65\n1 char 97\n"
                             "2 up 38\n3 close\n")));
    OpenGraphics(64, 48, 0, 60, 0);
    EXPECT_EQ(KeyDown(38), 1); // frame 0: there before the first flip
    EXPECT_EQ(KeyDown(65), 0);
    FlipFrame(-1);
    EXPECT_EQ(KeyDown(65), 1);
    EXPECT_EQ(GetChar(), 'a');
    FlipFrame(-1);
    EXPECT_EQ(KeyDown(65), 0); // the tap's release
    EXPECT_EQ(KeyHits(65), 1);
    EXPECT_EQ(KeyDown(38), 0);
    EXPECT_EQ(CloseRequested(), 0);
    FlipFrame(-1);
    EXPECT_EQ(CloseRequested(), 1);
    EXPECT_EQ(AskYesNoCancel("Play Fullscreen?", 0), 1);
    EXPECT_EQ(AskYesNoCancel("Play Fullscreen?", 0), -1);
    EXPECT_EQ(AskYesNoCancel("Play Fullscreen?", 0), 0); // unanswered: no
}

// A shot of frame N holds what was drawn during frame N: red, then green, then blue frames.
// Shots go into the current folder, the game folder of a real run.
TEST_F(Scripted, ShotsSaveThePictureOfTheirFrame) {
    ASSERT_TRUE(start(VideoMode::Offscreen, script("0 shot first.png\n2 shot shots/third.png\n")));
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    std::filesystem::create_directory("shots");
    OpenGraphics(80, 60, 0, 60, 0);
    SetBlendMode(BLEND_SOLID);
    const int colours[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (const auto& c : colours) {
        ClearScreen();
        SetDrawColor(c[0], c[1], c[2]);
        DrawRect(0, 0, 80, 60);
        FlipFrame(-1);
    }
    std::filesystem::current_path(before);
    ExpectPicture(path("first.png"), 80, 60, 255, 0, 0);
    ExpectPicture(path("shots/third.png"), 80, 60, 0, 0, 255);
}

TEST_F(Scripted, F12SavesNumberedScreenshotsInTheCurrentFolder) {
    ASSERT_TRUE(start(VideoMode::Offscreen, script("0 tap 123\n1 tap 123\n")));
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    OpenGraphics(40, 30, 0, 60, 0);
    ClearScreen();
    FlipFrame(-1);
    FlipFrame(-1);
    std::filesystem::current_path(before);
    ExpectPicture(path("screenshot-001.png"), 40, 30, 0, 0, 0);
    EXPECT_TRUE(std::filesystem::exists(path("screenshot-002.png")));
    EXPECT_FALSE(std::filesystem::exists(path("screenshot-003.png")));
}

// A thousandth F12 picture still comes; one that cannot be written says so.
TEST_F(Scripted, F12GoesOnPast999AndReportsAFailure) {
    ASSERT_TRUE(start(VideoMode::Offscreen, script("0 tap 123\n1 tap 123\n")));
    for (int n = 1; n <= 999; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "screenshot-%03d.png", n);
        std::ofstream(path(name)) << "";
    }
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    OpenGraphics(40, 30, 0, 60, 0);
    ClearScreen();
    FlipFrame(-1);
    // A folder removed under the game: nothing can be written there any more.
    std::filesystem::create_directory("gone");
    std::filesystem::current_path("gone");
    std::filesystem::remove(folder / "gone");
    ::testing::internal::CaptureStderr();
    FlipFrame(-1);
    const std::string said = ::testing::internal::GetCapturedStderr();
    std::filesystem::current_path(before);
    ExpectPicture(path("screenshot-1000.png"), 40, 30, 0, 0, 0);
    EXPECT_NE(said.find("screenshot-001.png"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

// A paused game waits in Delay without flipping; every 1000/60 ms of that waiting counts as a
// frame, so the script's key still arrives and unpauses it.
TEST_F(Scripted, PauseRuleLetsTheScriptGoOn) {
    ASSERT_TRUE(start(VideoMode::None, script("5 tap 80\n")));
    OpenGraphics(64, 48, 0, 60, 0);
    FlipFrame(-1);
    FlipFrame(-1);
    const int begin = Millisecs();
    int waits = 0;
    while (KeyHits(80) == 0 && waits < 1000) {
        Delay(5);
        ++waits;
    }
    EXPECT_LT(waits, 1000);
    // Three frames of 1000/60 ms: 50 ms, ten waits of 5 ms.
    EXPECT_EQ(Millisecs() - begin, 50);
    EXPECT_EQ(FramesPresented(), 2);
}

// The limit unwinds to the caller as the end of the program, with status 0.
TEST_F(Scripted, FrameLimitEndsTheProgramWithStatusZero) {
    for (const bool paused : {false, true}) {
        start(VideoMode::None, "", 3);
        OpenGraphics(64, 48, 0, 60, 0);
        int status = -1;
        try {
            if (paused) {
                FlipFrame(-1);
                for (;;) Delay(5);
            }
            for (;;) FlipFrame(-1);
        } catch (const ProgramEnd& end) {
            status = end.status;
        }
        EXPECT_EQ(status, 0);
        EXPECT_EQ(FramesPresented(), paused ? 1 : 3);
        ShutdownRuntime();
    }
}
