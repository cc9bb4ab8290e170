// controls.txt: every binding round-trips with the lines the game does not know; every usable
// line is used and the others named; the bindings stay out of prefs.txt; no key can do two
// things.
#include "persist/controls.h"
#include "persist/prefs.h"
#include "runtime/keyboard.h"
#include "runtime/pad_state.h"
#include "tempfolder.h"

namespace {

using ControlsFile = TempFolder;

TEST_F(ControlsFile, RoundTripsWithTheLinesItDoesNotKnow) {
    ::ControlsFile f;
    EXPECT_EQ(loadcontrols(f), ControlsRead::Defaults); // no file
    EXPECT_EQ(f.controls, DefaultControls());
    f.controls.bindings[0][CONTROL_UP].key = 'T';
    f.controls.bindings[3][CONTROL_LEFT].button = PAD_X;
    f.controls.rumble = false;
    f.unknown = {"player5.jump=key 32"};
    ASSERT_TRUE(savecontrols(f));
    const auto lines = crlflines("controls.txt");
    ASSERT_EQ(lines.size(), 7u + 3 * 4 + 1 + 1);
    EXPECT_EQ(lines[0], "player1.up=key 84");
    EXPECT_EQ(lines[17], "player4.left=pad x");
    EXPECT_EQ(lines[18], "player4.right=none");
    EXPECT_EQ(lines[20], "player5.jump=key 32");
    ::ControlsFile back;
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadcontrols(back), ControlsRead::Read);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("line 21 left out"), std::string::npos);
    EXPECT_EQ(back.controls, f.controls);
    EXPECT_EQ(back.unknown, f.unknown);

    // Saving the controls leaves prefs.txt at its six lines.
    Prefs prefs;
    ASSERT_TRUE(saveprefs(prefs));
    ASSERT_TRUE(savecontrols(f));
    EXPECT_EQ(crlflines("prefs.txt").size(), 6u);
}

// Every line the game can use is used; one it cannot leaves only its own binding at the
// default, and is named.
TEST_F(ControlsFile, EveryUsableLineCountsAndTheOthersAreNamed) {
    struct Case {
        const char* text;
        const char* said; // the lines not used
        int player, action;
        Binding want; // what that binding is after reading
    };
    const Binding T{'T', -1}, Q{'Q', -1};
    const Case cases[] = {
        {"player1.up=key 84\r\nplayer1.fly=key 3\r\n", "line 2 left out", 1, CONTROL_UP, T},
        {"player2.pause=key 80\r\nplayer1.up=key 84\r\n", "line 1 left out", 1, CONTROL_UP, T},
        {"player1.up = key 84  \r\nrumble=2\r\n", "line 2 left out", 1, CONTROL_UP, T},
        {"player1.up=key 999\r\nplayer1.down=pad q\r\nplayer2.up=key 81\r\n", "lines 1, 2", 2,
         CONTROL_UP, Q},
        // What the CONTROLS screen refuses: no key at all where the game needs one, Escape and
        // F12 on other actions, B of the pad.
        {"player1.back=none\r\n", "line 1 left out", 1, CONTROL_BACK, {KEY_ESCAPE, -1}},
        {"player1.back=key 81\r\nplayer2.up=key 27\r\n", "line 2 left out", 1, CONTROL_BACK, Q},
        {"player3.left=key 123\r\nplayer3.up=pad b\r\n",
         "lines 1, 2",
         3,
         CONTROL_LEFT,
         {KEY_J, -1}},
        // A key bound twice: the later line gives way, the earlier keeps it.
        {"player1.up=key 84\r\nplayer3.up=key 84\r\n",
         "line 2 left out",
         3,
         CONTROL_UP,
         {KEY_I, -1}},
        {"player1.up=key 87\r\n", "line 1 left out", 2, CONTROL_UP, {KEY_W, -1}},
        // Swapping two keys is no clash once the file is read whole.
        {"player1.up=key 87\r\nplayer2.up=key 38\r\n", "", 1, CONTROL_UP, {KEY_W, -1}},
        {"player2.down=pad a\r\n", "line 1 left out", 2, CONTROL_DOWN, {KEY_S, -1}},
    };
    for (const Case& c : cases) {
        writefile("controls.txt", c.text);
        ::ControlsFile read;
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadcontrols(read), ControlsRead::Read) << c.text;
        const std::string said = testing::internal::GetCapturedStderr();
        if (*c.said) {
            EXPECT_NE(said.find(c.said), std::string::npos) << c.text << said;
        } else {
            EXPECT_EQ(said, "") << c.text;
        }
        EXPECT_EQ(read.controls.of(c.player, c.action), c.want) << c.text;
        for (int p = 1; p <= CONTROL_PLAYERS; ++p) {
            for (int a = 0; a < CONTROL_ACTIONS; ++a) {
                if (!HasAction(p, a)) continue;
                EXPECT_EQ(BindingUsed(read.controls, read.controls.of(p, a), p, a),
                          std::make_pair(0, 0))
                    << c.text << p << a;
            }
        }
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
