// Computer players: the eight sectors, the reaction delay and the idle-ball switch.
#include "fixture.h"
#include "runtime/random.h"
#include <cmath>

namespace {

using Computer = MatchFolder;

TEST(ComputerSectors, BoundsAreUnequalAndExact) {
    const int cases[][2] = {{0, 1},   {14, 1},  {15, 2},  {67, 2},  {68, 3},  {111, 3},
                            {112, 4}, {157, 4}, {158, 5}, {201, 5}, {202, 6}, {247, 6},
                            {248, 7}, {291, 7}, {292, 8}, {337, 8}, {338, 1}, {359, 1}};
    for (const auto& c : cases) EXPECT_EQ(aisector(c[0]), c[1]) << "heading " << c[0];
}

// A figure with its first ball at rest, ready for one decision.
struct Decision {
    int direction;
    double vx, vy;
};

Decision decide(Tman& figure, Tmainball& ball) {
    Tball& first = *figure.balls.front();
    first.vx = first.vy = 0;
    for (auto& b : figure.balls) b->vx = b->vy = 0;
    aisteer(figure, ball);
    return {figure.direction, first.vx, first.vy};
}

void placeball(Tmainball& ball, double x, double y) {
    ball.x = x;
    ball.y = y;
    ball.vx = ball.vy = 0;
    ball.record();
}

TEST_F(Computer, FirstFramesOfADelayedFigurePushRight) {
    Tmatch m;
    m.setuplevel(1); // delay 23
    Tman& figure = m.man(2);
    for (int frame = 0; frame < 23; ++frame) {
        placeball(*m.mainballs[0], -3000, -3000); // far up-left: not where it goes
        Decision d = decide(figure, *m.mainballs[0]);
        ASSERT_EQ(d.direction, 3) << frame;
        ASSERT_EQ(d.vx, 6.0);
        ASSERT_EQ(d.vy, 0.0);
    }
    placeball(*m.mainballs[0], -3000, -3000);
    EXPECT_NE(decide(figure, *m.mainballs[0]).direction, 3); // now it sees the past
}

TEST_F(Computer, DelayZeroHeadsStraightForTheBall) {
    Tcustomsettings c;
    c.ailevel = 15;
    Tmatch m;
    m.setupcustom(c);
    Tman& figure = m.man(2);
    figure.computecentre();
    const double cx = figure.centrex, cy = figure.centrey;
    const double diagonal = double(0.707f * 6.0f);
    struct Case {
        double dx, dy;
        int direction;
        double vx, vy;
    } cases[] = {{0, -500, 1, 0, -6},
                 {500, -500, 2, diagonal, -diagonal},
                 {500, 0, 3, 6, 0},
                 {0, 500, 5, 0, 6},
                 {-500, 500, 6, -diagonal, diagonal},
                 {-500, 0, 7, -6, 0},
                 {-500, -500, 8, -diagonal, -diagonal}};
    for (const Case& k : cases) {
        placeball(*m.mainballs[0], cx + k.dx, cy + k.dy);
        Decision d = decide(figure, *m.mainballs[0]);
        EXPECT_EQ(d.direction, k.direction) << k.dx << "," << k.dy;
        EXPECT_EQ(d.vx, k.vx);
        EXPECT_EQ(d.vy, k.vy);
    }
    // Headings just either side of a sector bound: 14.5 degrees is still up, 15.5 up-right.
    for (auto [heading, expected] : {std::pair{14.5, 1}, {15.5, 2}, {337.5, 8}, {338.5, 1}}) {
        double a = (heading - 90) * 3.14159265358979 / 180;
        placeball(*m.mainballs[0], cx + 800 * std::cos(a), cy + 800 * std::sin(a));
        EXPECT_EQ(decide(figure, *m.mainballs[0]).direction, expected) << heading;
    }
}

// The heading is worked out in degrees and goes down to single precision once, after the
// quarter turn is added. This target lies at 111.9999... degrees: rounding the angle before
// adding the quarter turn would make it 112 and push down-right instead of right.
TEST_F(Computer, HeadingIsRoundedOnceAtASectorBound) {
    Tman figure;
    figure.balls.push_back(std::make_unique<Tball>(GameRandom()));
    figure.balls[0]->x = figure.balls[0]->y = 0;
    Tmainball ball(GameRandom());
    placeball(ball, 723.361816f, 292.25708f);
    Decision d = decide(figure, ball);
    EXPECT_EQ(d.direction, 3);
    EXPECT_EQ(d.vy, 0.0);
}

TEST_F(Computer, AnIdleBallIsChasedOnCurrentData) {
    Tmatch m;
    m.setuplevel(1);
    Tman& figure = m.man(2);
    Tmainball& ball = *m.mainballs[0];
    figure.computecentre();
    // The old entries are zeros: a delayed look says "right"; the ball is really straight up.
    ball.idle = 239;
    placeball(ball, figure.centrex, figure.centrey - 1000);
    EXPECT_EQ(decide(figure, ball).direction, 3);
    ball.idle = 240;
    placeball(ball, figure.centrex, figure.centrey - 1000);
    EXPECT_EQ(decide(figure, ball).direction, 1);
}

TEST_F(Computer, DelayIsKeptInsideTheHistory) {
    Tmatch m;
    m.setuplevel(1);
    Tman& figure = m.man(2);
    figure.aidelay = 1000;
    placeball(*m.mainballs[0], 0, 0);
    EXPECT_EQ(decide(figure, *m.mainballs[0]).direction, 3);
    figure.aidelay = -5; // read as 0: current data, ball to the left of figure 2
    placeball(*m.mainballs[0], -3000, figure.centrey);
    EXPECT_EQ(decide(figure, *m.mainballs[0]).direction, 7);
}

} // namespace
