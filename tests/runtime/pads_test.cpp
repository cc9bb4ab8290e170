// Pads: the stick's eight sectors and dead zone, presses and flushes of one pad's state, and
// SDL's virtual pads driven by a script, plugged in and out like real ones.
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/padmappings.h"
#include "runtime/pads.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "tempfixture.h"
#include <cmath>
#include <fstream>

namespace {

// A stick pushed to 30000 at the angle, in degrees clockwise from up.
int directionat(double degrees) {
    const double r = degrees * 3.14159265358979323846 / 180;
    return StickDirection(int(std::lround(30000 * std::sin(r))),
                          int(std::lround(-30000 * std::cos(r))));
}

} // namespace

TEST(Stick, EightEqualSectorsAndADeadZone) {
    for (int d = 1; d <= 8; ++d) EXPECT_EQ(directionat(45.0 * (d - 1)), d) << d;
    // Either side of each bound between two sectors.
    for (int d = 1; d <= 8; ++d) {
        const double bound = 45.0 * (d - 1) + 22.5;
        EXPECT_EQ(directionat(bound - 0.2), d) << bound;
        EXPECT_EQ(directionat(bound + 0.2), d % 8 + 1) << bound;
    }
    // A quarter of the range is the dead zone, measured round, not per axis.
    EXPECT_EQ(StickDirection(8192, 0), 0);
    EXPECT_EQ(StickDirection(8193, 0), 3);
    EXPECT_EQ(StickDirection(6000, -6000), 2); // 8485 away: just beyond, up-right
    EXPECT_EQ(StickDirection(5700, -5700), 0); // 8061 away
    EXPECT_EQ(StickDirection(-32768, 32767), 6);
}

TEST(PadState, DirectionsComeFromTheDpadOrTheStickAndPressOnce) {
    PadState pad;
    pad.button(PAD_UP, true);
    pad.axis(1, -20000); // the stick up as well: still one press
    EXPECT_EQ(pad.hits(PAD_UP), 1);
    EXPECT_EQ(pad.down(PAD_UP), 1);
    pad.button(PAD_UP, false);
    EXPECT_EQ(pad.down(PAD_UP), 1) << "the stick still holds it";
    pad.axis(1, 0);
    EXPECT_EQ(pad.down(PAD_UP), 0);
    pad.axis(0, 25000);
    pad.axis(1, 25000); // down-right
    EXPECT_EQ(pad.down(PAD_RIGHT) + pad.down(PAD_DOWN), 2);
    EXPECT_EQ(pad.down(PAD_LEFT) + pad.down(PAD_UP), 0);
    EXPECT_EQ(pad.hits(PAD_UP), 0);

    // After a flush whatever is held counts as up until let go, then presses again.
    pad.button(PAD_A, true);
    pad.flush();
    EXPECT_EQ(pad.down(PAD_A) + pad.down(PAD_RIGHT), 0);
    EXPECT_EQ(pad.hits(PAD_A) + pad.hits(PAD_RIGHT), 0);
    pad.axis(0, 26000); // moved, but never let go
    EXPECT_EQ(pad.down(PAD_RIGHT), 0);
    pad.button(PAD_A, false);
    pad.button(PAD_A, true);
    EXPECT_EQ(pad.hits(PAD_A), 1);
    pad.axis(0, 0);
    pad.axis(1, 0);
    pad.axis(0, 30000);
    EXPECT_EQ(pad.hits(PAD_RIGHT), 1);
    pad.button(99, true); // nothing a pad could send
    EXPECT_EQ(pad.down(99), 0);
}

using ScriptedPads = TempFolderTest;

// A script's pads plug in, press, push and unplug in the frames it says.
TEST_F(ScriptedPads, BehaveLikePadsPluggedIn) {
    std::ofstream(path("pads.txt")) << "0 pad 1 attach TEST PAD ONE\n"
                                       "1 pad 1 button a down\n"
                                       "2 pad 1 axis leftx -30000\n"
                                       "2 pad 2 attach\n"
                                       "3 pad 1 detach\n"
                                       "4 pad 1 attach TEST PAD ONE\n";
    RuntimeOptions options;
    options.video = VideoMode::None;
    options.sound = false;
    options.scriptPath = path("pads.txt");
    ASSERT_TRUE(InitRuntime(options));
    ASSERT_EQ(OpenGraphics(64, 48, 0, 60, 0), 1);
    EXPECT_EQ(PadCount(), 1);
    EXPECT_EQ(PadName(1), "TEST PAD ONE");
    EXPECT_EQ(PadDown(1, PAD_A), 0);
    FlipFrame(-1); // frame 1: A goes down
    EXPECT_EQ(PadDown(1, PAD_A), 1);
    EXPECT_EQ(PadHits(ANY_PAD, PAD_A), 1);
    EXPECT_EQ(PadHits(1, PAD_A), 0);
    FlipFrame(-1); // frame 2: the stick left, a second pad
    EXPECT_EQ(PadDown(1, PAD_LEFT), 1);
    EXPECT_EQ(PadStickX(1), -30000);
    EXPECT_EQ(PadCount(), 2);
    EXPECT_EQ(PadName(2), "PAD 2");
    PadSetPlayer(2, 3);
    EXPECT_EQ(TestPadPlayer(2), 3);
    const std::string identity = PadIdentity(1);
    FlipFrame(-1); // frame 3: pad 1 unplugged
    EXPECT_FALSE(PadPlugged(1));
    EXPECT_EQ(PadDown(1, PAD_A), 0);
    EXPECT_TRUE(PadPlugged(2));
    FlipFrame(-1); // frame 4: back, under a new number, with the same identity
    EXPECT_EQ(PadCount(), 3);
    EXPECT_TRUE(PadPlugged(3));
    EXPECT_EQ(PadIdentity(3), identity);
    EXPECT_EQ(PadDown(3, PAD_A), 0);
    ShutdownRuntime();
}

// A database of every system's pads, with copies and junk: only this system's, each pad once,
// and no more than the bound however long the file.
TEST(PadMappingsFile, ThisSystemsPadsOnceAndBounded) {
    auto mapping = [](int pad, const char* platform) {
        return "03000000" + std::to_string(100000 + pad) + ",Pad " + std::to_string(pad) +
               ",a:b0,b:b1,platform:" + platform + ",\n";
    };
    std::string text = "# a comment,platform:Linux,\n\n" + mapping(1, "Windows") +
                       mapping(1, "Linux") + mapping(1, "Linux") + mapping(2, "linux") +
                       mapping(3, "Mac OS X") + "03000000000000,No platform,a:b0,\n" +
                       std::string(5000, 'x') + ",platform:Linux,\r\n" + mapping(4, "Linux");
    PadMappings chosen = choosepadmappings(text, "Linux");
    ASSERT_EQ(chosen.lines.size(), 3u);
    EXPECT_EQ(chosen.lines[0], mapping(1, "Linux").substr(0, mapping(1, "Linux").size() - 1));
    EXPECT_NE(chosen.lines[2].find("Pad 4"), std::string::npos);
    EXPECT_FALSE(chosen.cut);

    for (int pad = 0; pad < 60000; ++pad) text += mapping(pad, pad % 2 ? "Linux" : "Windows");
    chosen = choosepadmappings(text, "Linux");
    EXPECT_EQ(chosen.lines.size(), PAD_MAPPINGS);
    EXPECT_TRUE(chosen.cut);
}
