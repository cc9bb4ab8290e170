// The CONTROLS screen: a key rebound steers, a key already used elsewhere is refused with a
// message on the screen, RESET DEFAULTS puts the game's keys back, and what was chosen is in
// controls.txt; the help page shows the keys as bound.
#include "apptest.h"
#include "match/match.h"
#include "persist/controls.h"
#include "runtime/keyboard.h"
#include "runtime/testing.h"
#include <filesystem>

namespace {

bool drawn(const std::vector<std::vector<DrawCall>>& frames, const std::string& text) {
    for (const auto& frame : frames)
        if (findtext(frame, text)) return true;
    return false;
}

} // namespace

TEST_F(AppTest, ControlsAreReboundWithoutConflictsAndSaved) {
    std::filesystem::remove("controls.txt");
    app.players.controls = DefaultControls();
    opendisplay(3);
    // PLAYER 1 UP = T; PLAYER 1 DOWN = W (player 2's up: refused); Escape.
    input("1 tap 13\n3 tap 84\n5 tap 40\n7 tap 13\n9 tap 87\n12 tap 27\n");
    app.controlsscreen();
    const auto shown = frames();
    EXPECT_TRUE(drawn(shown, "PLAYER 1 UP= UP"));
    EXPECT_TRUE(drawn(shown, "PRESS A KEY OR A BUTTON (ESC CANCELS)"));
    EXPECT_TRUE(drawn(shown, "PLAYER 1 UP= T"));
    EXPECT_TRUE(drawn(shown, "W IS USED BY PLAYER 2 UP"));
    EXPECT_EQ(app.players.controls.of(1, CONTROL_UP).key, 'T');
    EXPECT_EQ(app.players.controls.of(1, CONTROL_DOWN).key, KEY_DOWN);
    Controls saved;
    ASSERT_EQ(loadcontrols(saved), ControlsRead::Read);
    EXPECT_EQ(saved, app.players.controls);

    // The new key steers player 1 up; the arrow does not any more.
    Tmatch m;
    m.mode = "multiplayer";
    FlushKeys();
    TestKeyDown('T');
    EXPECT_TRUE(app.players.read(m).figures[0].up);
    TestKeyUp('T');
    TestKeyDown(KEY_UP);
    EXPECT_FALSE(app.players.read(m).figures[0].up);
    FlushKeys();

    // The help page says so; RESET DEFAULTS (the last line, up from the first) brings the
    // arrows back.
    forget();
    input("1 tap 13\n");
    app.showhelp();
    EXPECT_TRUE(drawn(frames(), "PLAYER 1: T,LEFT,DOWN,RIGHT"));
    EXPECT_TRUE(drawn(frames(), "PLAYER 2: W,A,S,D"));
    input("1 tap 38\n3 tap 13\n5 tap 27\n");
    app.controlsscreen();
    EXPECT_EQ(app.players.controls.of(1, CONTROL_UP).key, KEY_UP);
    forget();
    input("1 tap 13\n");
    app.showhelp();
    EXPECT_TRUE(drawn(frames(), "PLAYER 1: ARROW KEYS"));
    EXPECT_TRUE(drawn(frames(), "P: PAUSE"));
    std::filesystem::remove("controls.txt");
}
