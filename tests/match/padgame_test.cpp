// Pads in a game: the figure's pad rumbles when it takes the ball (unless rumble is off), a
// pad learns its player, and a name is picked letter by letter with a pad alone.
#include "fixture.h"
#include "match/playerinput.h"
#include "runtime/testing.h"

namespace {

using PadGame = MatchFolder;

// Plugs in the script's pads 1..n, in the frame that follows.
void plugin(int n) {
    Script script;
    for (int pad = 1; pad <= n; ++pad)
        script.events.push_back({ScriptEvent::PadAttach, 0, 0, "TEST PAD", pad, 0});
    TestPlayScript(script);
    FlipFrame(-1);
}

// Moves the main ball onto figure 1's first ball, so that figure 1 takes it in the next frame.
void ballonfigure1(Tmatch& m) {
    Tball& ball = *m.mainballs[0];
    const Tball& head = *m.man(1).balls.front();
    ball.x = ball.oldx = head.x;
    ball.y = ball.oldy = head.y;
    ball.vx = ball.vy = 0;
}

TEST_F(PadGame, TakingTheBallRumblesThePadUnlessRumbleIsOff) {
    plugin(1);
    PlayerInput players;
    Tmatch m;
    prepare(m);
    m.source = &players;
    Tcustomsettings c;
    ASSERT_TRUE(m.startgame("custom", 1, nullptr, &c, {}));
    const int before = TestPadRumbles(1);
    ballonfigure1(m);
    m.playframe();
    ASSERT_EQ(m.mainballs[0]->owner, 1);
    EXPECT_EQ(TestPadRumbles(1), before + 1);
    m.playframe(); // still the owner: no new rumble
    EXPECT_EQ(TestPadRumbles(1), before + 1);

    players.controls.rumble = false;
    m.mainballs[0]->owner = 2;
    ballonfigure1(m);
    m.playframe();
    EXPECT_EQ(m.mainballs[0]->owner, 1);
    EXPECT_EQ(TestPadRumbles(1), before + 1);
}

TEST_F(PadGame, APadIsToldItsPlayer) {
    plugin(2);
    PlayerInput players;
    Tmatch m;
    prepare(m);
    m.source = &players;
    Tmultisettings mp;
    mp.players = 3;
    ASSERT_TRUE(m.startgame("multiplayer", 1, &mp, nullptr, {}));
    m.playframe();
    // The runtime's pad numbers go on from earlier tests; the script's pads 1 and 2 are the
    // last two plugged in.
    EXPECT_EQ(TestPadPlayer(1) + TestPadPlayer(2), 2 + 3);
    EXPECT_NE(TestPadPlayer(1), TestPadPlayer(2));
}

// Up and down run through the letters, right takes one and moves on, A confirms with the
// letter being picked; a typed key takes over from a picked letter.
TEST_F(PadGame, ANameIsPickedWithAPadAlone) {
    Tmatch m;
    prepare(m);
    m.state = "gameover";
    m.score = 500;
    auto frame = [&](int pick, bool next, int typed = 0) {
        m.input = MatchInput{};
        m.input.pick = pick;
        m.input.next = next;
        m.input.typed = typed;
        m.entername(10);
    };
    frame(1, false);
    EXPECT_EQ(m.name, "A");
    frame(2, false);
    EXPECT_EQ(m.name, "C");
    frame(0, true);
    EXPECT_EQ(m.name, "C");
    frame(-1, false); // from no letter, down starts at the end of the list
    EXPECT_EQ(m.name, "C ");
    frame(-1, false);
    EXPECT_EQ(m.name, "C9");
    frame(0, false, 'x');
    EXPECT_EQ(m.name, "CX");
    frame(1, false);
    EXPECT_EQ(m.name, "CXA");
    frame(0, false, 8); // backspace drops the letter being picked and the last one
    EXPECT_EQ(m.name, "C");
}

} // namespace
