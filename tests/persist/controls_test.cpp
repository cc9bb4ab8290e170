// controls.txt: every binding round-trips; a damaged file or one with a key bound twice gives
// the defaults; the bindings stay out of prefs.txt; no key can do two things.
#include "persist/controls.h"
#include "persist/prefs.h"
#include "runtime/keyboard.h"
#include "runtime/pad_state.h"
#include "tempfolder.h"

namespace {

using ControlsFile = TempFolder;

TEST_F(ControlsFile, RoundTripsAndDamageGivesTheDefaults) {
    Controls c;
    EXPECT_EQ(loadcontrols(c), ControlsRead::Defaults); // no file
    EXPECT_EQ(c, DefaultControls());
    c.bindings[0][CONTROL_UP].key = 'T';
    c.bindings[3][CONTROL_LEFT].button = PAD_X;
    c.rumble = false;
    ASSERT_TRUE(savecontrols(c));
    const auto lines = crlflines("controls.txt");
    ASSERT_EQ(lines.size(), 7u + 3 * 4 + 1);
    EXPECT_EQ(lines[0], "player1.up=key 84");
    EXPECT_EQ(lines[17], "player4.left=pad x");
    EXPECT_EQ(lines[18], "player4.right=none");
    Controls back;
    EXPECT_EQ(loadcontrols(back), ControlsRead::Read);
    EXPECT_EQ(back, c);

    // Saving the controls leaves prefs.txt at its six lines.
    Prefs prefs;
    ASSERT_TRUE(saveprefs(prefs));
    ASSERT_TRUE(savecontrols(c));
    EXPECT_EQ(crlflines("prefs.txt").size(), 6u);

    for (const char* bad : {"player1.up=key 84\r\nplayer1.fly=key 3\r\n", // no such action
                            "player2.pause=key 80\r\n",                   // player 2 has none
                            "player1.up=key 999\r\n", "player1.up=pad q\r\n", "rumble=2\r\n",
                            "player1.up=key 87\r\n"}) { // W is player 2's up
        writefile("controls.txt", bad);
        Controls read;
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadcontrols(read), ControlsRead::Defaults) << bad;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("controls.txt is damaged"),
                  std::string::npos);
        EXPECT_EQ(read, DefaultControls()) << bad;
    }
}

TEST(Bindings, NoKeyOrButtonDoesTwoThings) {
    const Controls c = DefaultControls();
    auto used = [&](Binding b, int player, int action) {
        return BindingUsed(c, b, player, action);
    };
    EXPECT_EQ(used({KEY_W, -1}, 1, CONTROL_UP), std::make_pair(2, int(CONTROL_UP)));
    EXPECT_EQ(used({KEY_ESCAPE, -1}, 3, CONTROL_DOWN), std::make_pair(1, int(CONTROL_BACK)));
    EXPECT_EQ(used({KEY_W, -1}, 2, CONTROL_UP), std::make_pair(0, 0)) << "its own key";
    EXPECT_EQ(used({'T', -1}, 4, CONTROL_UP), std::make_pair(0, 0));
    // A, B, Start and the d-pad belong to every pad; X may serve a different player each.
    EXPECT_EQ(used({0, PAD_A}, 2, CONTROL_UP), std::make_pair(1, int(CONTROL_CONFIRM)));
    EXPECT_EQ(used({0, PAD_DOWN}, 3, CONTROL_UP), std::make_pair(3, int(CONTROL_DOWN)));
    Controls x = c;
    x.bindings[1][CONTROL_UP].button = PAD_X;
    EXPECT_EQ(BindingUsed(x, {0, PAD_X}, 3, CONTROL_UP), std::make_pair(0, 0));
    EXPECT_EQ(BindingUsed(x, {0, PAD_X}, 2, CONTROL_DOWN), std::make_pair(2, int(CONTROL_UP)));
    EXPECT_EQ(BindingName({'T', -1}), "T");
    EXPECT_EQ(BindingName({KEY_LEFT, -1}), "LEFT");
    EXPECT_EQ(BindingName({0, PAD_Y}), "PAD Y");
}

} // namespace
