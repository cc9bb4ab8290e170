// The rules of a frame: steering keys, possession, bars, the win, stuck figures, the pause
// and the result screens.
#include "fixture.h"
#include "runtime/keyboard.h"
#include "runtime/runtime.h"
#include <cmath>

namespace {

using Rules = MatchFolder;

Tmatch& custommatch(Tmatch& m, int players = 2) {
    Tcustomsettings c;
    c.players = players;
    m.mode = "custom";
    m.setupcustom(c);
    return m;
}

// What one frame of steering with these keys held does to the first ball's velocity, the keys
// read by the keyboard as the frame's input.
std::pair<double, double> pushwith(Tman& figure, int keyset, std::initializer_list<int> keys) {
    FlushKeys();
    for (int k : keys) TestKeyDown(k);
    Tball& ball = *figure.balls.front();
    ball.vx = ball.vy = 0;
    Tmatch reader;
    steer(figure, defaultinput().read(reader).figures[keyset]);
    FlushKeys();
    return {ball.vx, ball.vy};
}

TEST_F(Rules, KeySetsPushTheFirstBall) {
    Tmatch m;
    custommatch(m);
    Tman& f = m.man(1);
    const double diagonal = double(0.707f * 6.0f);
    EXPECT_EQ(pushwith(f, 0, {KEY_LEFT, KEY_UP}), std::make_pair(-diagonal, -diagonal));
    EXPECT_EQ(pushwith(f, 0, {KEY_RIGHT, KEY_DOWN}), std::make_pair(diagonal, diagonal));
    EXPECT_EQ(pushwith(f, 0, {KEY_RIGHT}), std::make_pair(6.0, 0.0));
    EXPECT_EQ(pushwith(f, 0, {KEY_LEFT, KEY_RIGHT}), std::make_pair(0.0, 0.0));
    // Left and Right cancel, yet Up still counts as a diagonal.
    EXPECT_EQ(pushwith(f, 0, {KEY_LEFT, KEY_RIGHT, KEY_UP}), std::make_pair(0.0, -diagonal));
    EXPECT_EQ(pushwith(f, 1, {KEY_A, KEY_W}), std::make_pair(-6.0, -6.0));
    EXPECT_EQ(pushwith(f, 1, {KEY_D, KEY_S}), std::make_pair(6.0, 6.0));
    EXPECT_EQ(pushwith(f, 2, {KEY_J, KEY_I}), std::make_pair(-6.0, -6.0));
    EXPECT_EQ(pushwith(f, 2, {KEY_L, KEY_K}), std::make_pair(6.0, 6.0));
    // Another set's keys do nothing.
    EXPECT_EQ(pushwith(f, 1, {KEY_LEFT, KEY_J}), std::make_pair(0.0, 0.0));
}

// Puts the main ball between the heads of figures 1 and 2 so that both touch it.
void touchboth(Tmatch& m) {
    Tball& ball = *m.mainballs[0];
    ball.x = ball.y = 0;
    for (int k = 1; k <= 2; ++k) {
        ragobject& f = m.man(k);
        double shift = (k == 1 ? -30 : 30) - f.balls.front()->x;
        for (auto& b : f.balls) {
            b->x += shift;
            b->y -= f.balls.front()->y;
            b->vx = b->vy = 0;
        }
    }
    prepareworld(m.world);
}

TEST_F(Rules, PossessionChangesBetweenTouchingFigures) {
    Tmatch m;
    custommatch(m);
    m.mainballs[0]->idle = 50;
    int owned[3] = {0, 0, 0};
    for (int frame = 0; frame < 60; ++frame) {
        touchboth(m);
        m.checktouches();
        EXPECT_EQ(m.mainballs[0]->idle, 0);
        owned[m.mainballs[0]->owner]++;
    }
    EXPECT_EQ(owned[0], 0);
    EXPECT_GT(owned[1], 5);
    EXPECT_GT(owned[2], 5);
}

TEST_F(Rules, BarsGrowForTheOwnerUntilSomebodyWins) {
    Tmatch m;
    custommatch(m, 3);
    m.updatebars();
    EXPECT_EQ(m.man(1).bar + m.man(2).bar + m.man(3).bar, 0); // nobody owns the ball yet
    m.mainballs[0]->owner = 2;
    m.updatebars();
    m.updatebars();
    EXPECT_EQ(m.man(2).bar, 2);
    EXPECT_EQ(m.man(1).bar, 0);
    m.winner = 3;
    m.updatebars();
    EXPECT_EQ(m.man(2).bar, 2);
}

TEST_F(Rules, ABarMustPassTheGoal) {
    Tmatch m;
    custommatch(m);
    m.man(1).bar = 1800;
    m.updatestate();
    EXPECT_EQ(m.state, "normal");
    EXPECT_EQ(m.winner, 0);
    m.man(1).bar = 1801;
    m.updatestate();
    EXPECT_EQ(m.state, "tellwinner");
    EXPECT_EQ(m.winner, 1);
    EXPECT_EQ(m.man(1).wins, 1);
    EXPECT_EQ(m.stateframe, 2);
    // Later frames do not count the win again.
    m.updatestate();
    EXPECT_EQ(m.man(1).wins, 1);
}

TEST_F(Rules, TwoFiguresPassingTogetherBothScore) {
    Tmatch m;
    custommatch(m, 4);
    m.man(2).wins = 3;
    m.man(2).bar = 1900;
    m.man(4).bar = 1801;
    m.updatestate();
    EXPECT_EQ(m.man(2).wins, 4);
    EXPECT_EQ(m.man(4).wins, 1);
    EXPECT_EQ(m.winner, 4);
}

// The state step of a frame with the keys held now read as the frame's input.
void keyedstate(Tmatch& m) {
    m.checkpause();
    m.updatestate();
}

TEST_F(Rules, LevelsModeResults) {
    Tmatch lost;
    lost.mode = "levels";
    lost.setuplevel(3);
    lost.man(3).bar = 1801;
    lost.updatestate();
    EXPECT_EQ(lost.state, "gameover");

    Tmatch won;
    won.mode = "levels";
    won.level = 7;
    won.setuplevel(7);
    won.man(1).bar = 1801;
    won.updatestate();
    EXPECT_EQ(won.state, "levelcompleted");
    EXPECT_EQ(won.levelscore, 70000);
    TestKeyDown(KEY_ENTER);
    keyedstate(won);
    EXPECT_EQ(won.state, "end");
}

TEST_F(Rules, WinningTheLastLevelLeadsToTheNameEntry) {
    Tmatch m;
    m.mode = "levels";
    m.level = 40;
    m.setuplevel(40);
    TestKeyDown(KEY_1);
    TestKeyDown(KEY_4);
    keyedstate(m);
    EXPECT_EQ(m.state, "levelcompleted");
    TestKeyDown(KEY_ENTER);
    keyedstate(m);
    EXPECT_EQ(m.state, "gameover");
    EXPECT_EQ(m.stateframe, 1);
    // The Enter that closed the level screen has been forgotten; a new press is needed.
    keyedstate(m);
    EXPECT_EQ(m.state, "gameover");
    TestKeyDown(KEY_ENTER);
    keyedstate(m);
    EXPECT_EQ(m.state, "end");
}

// Lays figure 2's head on figure 1's head, both at rest.
void overlapheads(Tmatch& m) {
    for (int k = 1; k <= 2; ++k) {
        ragobject& f = m.man(k);
        double sx = (k == 1 ? 0 : 5) - f.balls.front()->x, sy = -f.balls.front()->y;
        for (auto& b : f.balls) {
            b->x += sx;
            b->y += sy;
            b->vx = b->vy = 0;
        }
    }
}

// At rest the normal contact response changes no velocity; the kick of 60 does.
TEST_F(Rules, FiguresStuckFor159FramesAreKickedApart) {
    Tmatch m;
    custommatch(m);
    for (int frame = 1; frame <= 160; ++frame) {
        overlapheads(m);
        prepareworld(m.world);
        m.collidefigures();
        ASSERT_EQ(m.contacthistory[0][0][1], 1) << frame;
        double speed = std::hypot(m.man(1).balls.front()->vx, m.man(1).balls.front()->vy);
        if (frame < 160) {
            ASSERT_EQ(speed, 0) << "kicked early in frame " << frame;
        } else {
            EXPECT_GT(speed, 10);
        }
    }
    // One frame apart starts the count again.
    m.man(2).balls.front()->x = 1e5;
    for (auto& b : m.man(2).balls) b->x = 1e5;
    m.collidefigures();
    EXPECT_EQ(m.contacthistory[0][0][1], 0);
    overlapheads(m);
    m.collidefigures();
    EXPECT_EQ(m.man(1).balls.front()->vx, 0);
}

TEST_F(Rules, PauseWaitsWithoutSpinningAndIsOffOnGameOver) {
    Tmatch m;
    custommatch(m);
    // On the game-over screen P is a letter of the name: no pause, Escape left alone.
    m.state = "gameover";
    TestKeyDown(KEY_P);
    TestKeyDown(KEY_ESCAPE);
    m.checkpause();
    EXPECT_EQ(KeyHits(KEY_ESCAPE), 1);

    // In play the pause holds until P is pressed again, sleeping between its checks.
    m.state = "normal";
    FlushKeys();
    TestKeyDown(KEY_P);
    TestKeyUp(KEY_P);
    int checks = 0;
    // Each check asks the keys and the pads, delivering events each time.
    TestOnEvents([&checks] {
        if (++checks == 100) TestKeyDown(KEY_P);
    });
    int start = Millisecs();
    m.checkpause();
    TestOnEvents(nullptr);
    EXPECT_GE(checks, 100);
    EXPECT_GE(Millisecs() - start, 60); // at least a dozen sleeps of 5 ms
}

// Closing the window while paused ends the program; it does not wait for the pause to end.
TEST_F(Rules, CloseRequestEndsThePause) {
    Tmatch m;
    custommatch(m);
    TestKeyDown(KEY_P);
    TestKeyUp(KEY_P);
    int checks = 0;
    TestOnEvents([&checks] {
        if (++checks == 10) TestRequestClose();
        if (checks == 50) TestKeyDown(KEY_P); // a pause deaf to the close ends here
    });
    int status = -1;
    try {
        m.checkpause();
    } catch (const ProgramEnd& end) {
        status = end.status;
    }
    TestOnEvents(nullptr);
    EXPECT_EQ(status, 0);
    EXPECT_LT(checks, 50);
}

TEST_F(Rules, FrameLimiterKeepsSixtyThreeFramesASecond) {
    Tmatch m;
    int start = Millisecs();
    m.lastframe = start;
    m.waitframe();
    EXPECT_GE(m.lastframe - start, 16);
    EXPECT_LE(m.lastframe - start, 17);
    EXPECT_EQ(m.lastframe, Millisecs());
}

// Escape held at the end of a frame leaves the game, even on a result screen.
TEST_F(Rules, EscapeOnAResultScreenReturnsMinusOne) {
    KeyedMatch m;
    prepare(m);
    std::array<int, 4> wins{};
    m.keys = [](Tmatch&) {
        TestKeyDown(KEY_1);
        TestKeyDown(KEY_4);
        TestKeyDown(KEY_ESCAPE);
    };
    EXPECT_EQ(m.rungame("levels", 1, nullptr, nullptr, wins), -1);
    EXPECT_EQ(m.winner, 1);
    EXPECT_EQ(m.state, "levelcompleted");
    EXPECT_EQ(m.frame, 1);
}

TEST_F(Rules, EnterOnTheWinScreenReturnsTheWinner) {
    KeyedMatch m;
    prepare(m);
    std::array<int, 4> wins{2, 5, 0, 0};
    Tcustomsettings c;
    m.keys = [](Tmatch&) {
        TestKeyDown(KEY_1);
        TestKeyDown(KEY_5);
        TestKeyDown(KEY_ENTER);
    };
    EXPECT_EQ(m.rungame("custom", 1, nullptr, &c, wins), 2);
    EXPECT_EQ(m.man(1).wins, 2);
    EXPECT_EQ(m.man(2).wins, 6);
    EXPECT_EQ(m.score, 0);
}

} // namespace
