// The solvers of one step and the arena walls, on small hand-made bodies.
#include "physics/arena.h"
#include "physics/constants.h"
#include "physics/ragobject.h"
#include "physics/solver.h"
#include "runtime/random.h"
#include "scene.h"
#include <cmath>
#include <gtest/gtest.h>

TEST(Solver, LinkOfRestLengthZeroPullsByItsShareOfTheMass) {
    ragobject body;
    Tball& a = addball(body, 0, 0, 5, 3);
    Tball& b = addball(body, 10, 0, 5, 1);
    body.setmasses();
    solvelink(a, b, 0);
    // 0.3 of the distance is removed, the heavy end moving a quarter of it.
    EXPECT_DOUBLE_EQ(a.corrx, 10 / (3.0 + 1) * LINKSTIFFNESS);
    EXPECT_DOUBLE_EQ(b.corrx, -10 / (1 / 3.0 + 1) * LINKSTIFFNESS);
    EXPECT_NEAR(a.corrx - b.corrx, 3, 1e-6);
    EXPECT_EQ(a.corry, 0);
}

TEST(Solver, LinksOfOnePassSeeTheSamePositions) {
    // A chain of three equal balls, both links stretched: the middle ball is pulled both
    // ways by the same amount, so it must not move at all within one pass.
    ragobject body;
    for (int i = 0; i < 3; ++i) addball(body, i * 20, 0, 5, 1);
    for (int i = 0; i < 2; ++i)
        body.links.push_back(
            {{}, "normal", body.balls[i].get(), body.balls[i + 1].get(), 10, 3, 0});
    body.setmasses();
    body.solvelinks();
    EXPECT_DOUBLE_EQ(body.balls[1]->x, 20);
    EXPECT_DOUBLE_EQ(body.balls[0]->x, 5 * LINKSTIFFNESS);
    EXPECT_DOUBLE_EQ(body.balls[2]->x, 40 - 5 * LINKSTIFFNESS);
}

// A step's velocity is its displacement over the step; the object's update also loses a
// little speed on both axes, the ball's own does not.
TEST(Solver, VelocitiesComeFromTheDisplacementOfTheStep) {
    ragobject body;
    Tball& a = addball(body, 0, 0, 5, 1);
    Tball& b = addball(body, 10, 10, 5, 1);
    a.x = 3, a.y = -4;
    b.x = 4, b.y = 16;
    body.updatevelocities(2.0);
    EXPECT_EQ(a.vx, 1.5 * DAMPING);
    EXPECT_EQ(a.vy, -2 * DAMPING);
    EXPECT_EQ(b.vx, -3 * DAMPING);
    EXPECT_EQ(b.vy, 3 * DAMPING);
    b.updatevelocity(0.5);
    EXPECT_EQ(b.vx, -12);
    EXPECT_EQ(b.vy, 12);
}

TEST(Solver, PinPutsOnlyFixedOneBackAndMassFollowsAnyFixedValue) {
    ragobject body;
    Tball& one = addball(body, 5, 5, 5, 2);
    Tball& two = addball(body, 5, 5, 5, 2);
    for (Tball* b : {&one, &two}) b->anchorx = 100, b->anchory = 50, b->vx = 3;
    one.fixed = 1;
    two.fixed = 2;
    body.setmasses();
    body.integrate(1.0, 0.5);
    body.pin();
    EXPECT_EQ(one.mass, FIXEDMASS);
    EXPECT_EQ(two.mass, FIXEDMASS);
    EXPECT_EQ(one.x, 100);
    EXPECT_EQ(one.oldy, 50);
    EXPECT_EQ(one.vx, 0);
    EXPECT_EQ(two.x, 8);
    EXPECT_EQ(two.y, 5.5); // gravity is added to vy before the move
}

TEST(Solver, UnplacedBallsSitOnRandomWholeNumbersOfTheStartArea) {
    double lowest = 1e9, highest = -1e9;
    for (int i = 0; i < 300; ++i) {
        Tball b(GameRandom());
        ASSERT_TRUE(b.x == std::floor(b.x) && b.y == std::floor(b.y));
        ASSERT_TRUE(b.x >= 0 && b.x <= 800 && b.y >= 0 && b.y <= 600);
        ASSERT_TRUE(b.oldx == b.x && b.oldy == b.y);
        lowest = std::min(lowest, b.x), highest = std::max(highest, b.x);
    }
    EXPECT_GT(highest - lowest, 400);
}

// Three balls bent at a right angle; a tension asks for a straight line.
static ragobject bentarm(double strength) {
    ragobject body;
    addball(body, 0, 0, 5, 1);
    addball(body, 50, 0, 5, 1);
    addball(body, 50, 50, 5, 1);
    body.tensions.push_back(
        {body.balls[0].get(), body.balls[1].get(), body.balls[2].get(), 180, strength});
    body.setmasses();
    return body;
}

static double bend(const ragobject& body) {
    const Tball &a = *body.balls[0], &b = *body.balls[1], &c = *body.balls[2];
    double turn = std::atan2(c.y - b.y, c.x - b.x) - std::atan2(a.y - b.y, a.x - b.x);
    return std::remainder(turn * 180 / M_PI, 360.0);
}

TEST(Tension, StrengthAboveTenOnlyAndItStraightensTheArm) {
    ragobject inert = bentarm(10);
    inert.solvetensions(1.0);
    EXPECT_EQ(inert.balls[2]->x, 50);
    EXPECT_EQ(inert.balls[0]->y, 0);

    ragobject active = bentarm(10.5);
    // bend is +-180 for a straight arm.
    double before = std::fabs(bend(active));
    active.solvetensions(1.0);
    EXPECT_GT(std::fabs(bend(active)), before + 0.01);

    ragobject strong = bentarm(500);
    for (int i = 0; i < 200; ++i) strong.relax(1.0);
    EXPECT_NEAR(std::fabs(bend(strong)), 180, 1.0);
}

TEST(Tension, AllThreeFixedIsInertAndMomentumIsKept) {
    ragobject fixed = bentarm(500);
    for (auto& b : fixed.balls) b->fixed = 1;
    fixed.setmasses();
    fixed.solvetensions(1.0);
    EXPECT_EQ(fixed.balls[2]->x, 50);

    ragobject arm = bentarm(500);
    arm.balls[0]->basemass = 4;
    arm.setmasses();
    arm.solvetensions(1.0);
    double px = 0, py = 0;
    for (auto& b : arm.balls) px += b->mass * b->corrx, py += b->mass * b->corry;
    EXPECT_NEAR(px, 0, 1e-9);
    EXPECT_NEAR(py, 0, 1e-9);
}

TEST(Arena, StraightWallsKeepTheMarginAndTakeAFifthUnlessElastic) {
    Tarena arena{-1500, 1500, -2000, 2000};
    Tball onwall(GameRandom());
    onwall.radius = 20;
    onwall.x = 0, onwall.y = 1480, onwall.vy = 7;
    onwall.collidearena(arena);
    EXPECT_EQ(onwall.y, 1480);
    EXPECT_EQ(onwall.vy, 7);

    for (int elastic : {0, 1}) {
        Tball b(GameRandom());
        b.radius = 20, b.elastic = elastic;
        b.x = 100, b.y = 1490, b.vx = 3, b.vy = 10;
        b.collidearena(arena);
        EXPECT_EQ(b.y, 1480 - WALLMARGIN);
        EXPECT_EQ(b.vy, elastic ? -10 : -10 * 0.800000011920929);
        EXPECT_EQ(b.vx, 3);
        b.x = -100, b.y = -1490, b.vy = -10;
        b.collidearena(arena);
        EXPECT_EQ(b.y, -1480 + WALLMARGIN);
        EXPECT_GT(b.vy, 0);
    }
}

TEST(Arena, RoundEndsPlaceOnTheCircleAndKeepFullSpeed) {
    Tarena arena{-1500, 1500, -2000, 2000};
    Tball b(GameRandom());
    b.radius = 30, b.elastic = 0;
    b.x = 2000 + 1200, b.y = 1200, b.vx = 12, b.vy = -5;
    b.collidearena(arena);
    EXPECT_NEAR(std::hypot(b.x - 2000, b.y), 1500 - 30, 1e-9);
    EXPECT_NEAR(std::hypot(b.vx, b.vy), 13, 1e-9);
    // The radial part is mirrored (now pointing inwards), the tangential part kept.
    EXPECT_LT(b.vx * (b.x - 2000) + b.vy * b.y, 0);

    Tball inside(GameRandom());
    inside.radius = 30;
    inside.x = -3000, inside.y = 100, inside.vx = -50;
    inside.collidearena(arena);
    EXPECT_EQ(inside.x, -3000);
    EXPECT_EQ(inside.vx, -50);
}
