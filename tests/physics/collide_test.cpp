// Contacts between balls, between balls and links, and between whole objects.
#include "physics/collide.h"
#include "physics/constants.h"
#include "physics/ragobject.h"
#include "scene.h"
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

struct Pair {
    ragobject body;
    Tball& a;
    Tball& b;
    Pair(double ax, double bx, double radius)
        : a(addball(body, ax, 0, radius, 1)), b(addball(body, bx, 0, radius, 1)) {
        body.setmasses();
    }
};

TEST(CollideBalls, CoincidentBallsArePushedAlongOneOne) {
    Pair p(100, 100, 10);
    ASSERT_EQ(collideballs(p.a, p.b, -20), 1);
    double push = 20 + SEPARATION - GUARD;
    EXPECT_DOUBLE_EQ(p.b.x - 100, push / 2);
    EXPECT_DOUBLE_EQ(p.b.y, push / 2);
    EXPECT_DOUBLE_EQ(p.a.x - 100, -push / 2);
    EXPECT_DOUBLE_EQ(p.a.y, -push / 2);
    EXPECT_TRUE(std::isfinite(p.a.vx) && std::isfinite(p.b.vy));
}

TEST(CollideBalls, KickSixtyGivesEachBallFiftyTwoPointEight) {
    Pair p(0, 19, 10);
    ASSERT_EQ(collideballs(p.a, p.b, 60), 1);
    EXPECT_NEAR(p.b.vx, 52.8, 1e-5);
    EXPECT_NEAR(p.a.vx, -52.8, 1e-5);
    EXPECT_NEAR(p.b.vy, 0, 1e-3);
}

TEST(CollideBalls, FastBallIsCaughtEarlyAndPlacedBeyondItsReach) {
    Pair p(0, 35, 15);
    p.a.vx = 40;
    ASSERT_EQ(collideballs(p.a, p.b, -20), 1);
    EXPECT_NEAR(p.b.x - p.a.x, 40.1, 1e-8);
    // Normal response between equal masses: most of the speed passes to the struck ball.
    EXPECT_NEAR(p.b.vx, 40 * BOUNCE, 1e-6);
    EXPECT_NEAR(p.a.vx, 40 * (1 - BOUNCE), 1e-6);

    Pair slow(0, 35, 15);
    slow.a.vx = 4;
    EXPECT_EQ(collideballs(slow.a, slow.b, -20), 0);
    Pair leaving(0, 35, 15);
    leaving.a.vx = -40;
    EXPECT_EQ(collideballs(leaving.a, leaving.b, -20), 0);
}

TEST(CollideBalls, OverlappingBallsMovingApartStillGetTheImpulse) {
    Pair p(0, 25, 15);
    p.a.vx = -5;
    p.b.vx = 5;
    ASSERT_EQ(collideballs(p.a, p.b, -20), 1);
    EXPECT_LT(p.b.vx, 5);
    EXPECT_NEAR(p.b.x - p.a.x, 30 + SEPARATION, 1e-12);
}

// An oblique blow between unequal masses: the impulses are equal and opposite on both axes, so
// the momentum is kept, and the balls end up moving apart along the line of their centres.
TEST(CollideBalls, AnObliqueBlowKeepsMomentumOnBothAxes) {
    ragobject body;
    Tball& a = addball(body, 0, 0, 15, 1);
    Tball& b = addball(body, 15, 20, 15, 3);
    body.setmasses();
    a.vx = 4, a.vy = 3;
    b.vx = -1, b.vy = 0.5;
    const double px = a.vx + 3 * b.vx, py = a.vy + 3 * b.vy;
    ASSERT_EQ(collideballs(a, b, -20), 1);
    EXPECT_NEAR(a.vx + 3 * b.vx, px, 1e-12);
    EXPECT_NEAR(a.vy + 3 * b.vy, py, 1e-12);
    const double nx = b.x - a.x, ny = b.y - a.y;
    EXPECT_GT((b.vx - a.vx) * nx + (b.vy - a.vy) * ny, 0) << "still closing";
    // Pushed apart along the centre line, the light ball three times as far.
    EXPECT_LT(a.x, 0);
    EXPECT_LT(a.y, 0);
    EXPECT_NEAR(std::hypot(nx, ny), 30 + SEPARATION, 1e-9);
}

// A horizontal link from (0, 0) to (100, 0) and a ball of another object above it.
struct LinkScene {
    ragobject rod, other;
    Tlink* link;
    Tball& ball;
    LinkScene(double bx, double by, double pmass = 1, double qmass = 1)
        : ball(addball(other, bx, by, 10, 1)) {
        addball(rod, 0, 0, 5, pmass);
        addball(rod, 100, 0, 5, qmass);
        rod.links.push_back({{}, "normal", rod.balls[0].get(), rod.balls[1].get(), 100, 3, 0});
        link = &rod.links.back();
        rod.setmasses();
        other.setmasses();
    }
};

TEST(CollideLink, BallBesideTheLinkIsPushedOutAndBounced) {
    LinkScene s(30, -8);
    s.ball.vy = 4;
    ASSERT_EQ(collidelink(s.ball, *s.link, -20), 1);
    EXPECT_LT(s.ball.vy, 0);
    EXPECT_GT(s.rod.balls[0]->vy, 0);
    // Separated beyond radius + thickness, the nearer end giving way more.
    double gap = std::fabs(s.ball.y - s.rod.balls[0]->y * 0.7 - s.rod.balls[1]->y * 0.3);
    EXPECT_GT(gap, 13);
    EXPECT_GT(s.rod.balls[1]->y, 0);
    EXPECT_GT(s.rod.balls[0]->y, s.rod.balls[1]->y * 2);
}

// A slanted link, so that every push has a part on both axes: the ball is bounced and moved
// out along the link's normal, both ends the other way, and friction works against the
// ball's slide along the link on both axes.
TEST(CollideLink, ASlantedLinkActsAlongItsNormalOnBothAxes) {
    auto slanted = [](double vx, double vy, int elastic) {
        auto s = std::make_unique<LinkScene>(58, 42);
        s->rod.balls[1]->y = 100; // from (0, 0) to (100, 100); the ball below-right of it
        s->link->length = std::hypot(100, 100);
        s->ball.vx = vx, s->ball.vy = vy;
        s->ball.elastic = elastic;
        EXPECT_EQ(collidelink(s->ball, *s->link, -20), 1);
        return s;
    };
    auto s = slanted(-3, 3, 1); // straight at the link
    EXPECT_GT(s->ball.vx, -3);
    EXPECT_LT(s->ball.vy, 3);
    EXPECT_GT(s->ball.x - s->ball.y, 18) << "moved out along the normal (1, -1)";
    for (const auto& end : s->rod.balls) {
        EXPECT_LT(end->vx, 0);
        EXPECT_GT(end->vy, 0);
    }
    EXPECT_LT(s->rod.balls[0]->x, 0);
    EXPECT_GT(s->rod.balls[0]->y, 0);
    EXPECT_LT(s->rod.balls[1]->x, 100);
    EXPECT_GT(s->rod.balls[1]->y, 100);

    // Sliding along the link too: friction takes from the slide, along (-1, -1).
    auto rough = slanted(1, 7, 0), smooth = slanted(1, 7, 1);
    EXPECT_LT(rough->ball.vx, smooth->ball.vx);
    EXPECT_LT(rough->ball.vy, smooth->ball.vy);
    EXPECT_NEAR(rough->ball.vx - smooth->ball.vx, rough->ball.vy - smooth->ball.vy, 1e-9);
}

TEST(CollideLink, OnlyBesideTheSegmentAndWithinReach) {
    LinkScene past(-5, -8);
    EXPECT_EQ(collidelink(past.ball, *past.link, -20), 0);
    LinkScene far(50, -14);
    EXPECT_EQ(collidelink(far.ball, *far.link, -20), 0);
    LinkScene fast(50, -40);
    fast.ball.vy = 45;
    EXPECT_EQ(collidelink(fast.ball, *fast.link, -20), 1);
    EXPECT_LT(fast.ball.y, -44);
}

TEST(CollideLink, FrictionOnlyForNonElasticBalls) {
    for (int elastic : {0, 1}) {
        LinkScene s(50, -8);
        s.ball.elastic = elastic;
        s.ball.vx = 10;
        collidelink(s.ball, *s.link, -20);
        if (elastic)
            EXPECT_NEAR(s.ball.vx, 10, 1e-9);
        else
            EXPECT_LT(s.ball.vx, 10);
    }
}

TEST(CollideLink, DegenerateContactsAreSkipped) {
    LinkScene online(50, 0);
    EXPECT_EQ(collidelink(online.ball, *online.link, -20), 0);
    EXPECT_EQ(online.ball.y, 0);
    // Ends a millionth apart: the ball counts as beside the link, but the foot point gives
    // no usable weights.
    LinkScene folded(3, -3 + 5e-7);
    folded.rod.balls[1]->x = 1e-6;
    EXPECT_EQ(collidelink(folded.ball, *folded.link, 60), 0);
    for (auto& b : folded.rod.balls) EXPECT_TRUE(std::isfinite(b->x) && std::isfinite(b->vy));
}

TEST(CollideLink, PushApartEndsEvenForAbsurdMasses) {
    LinkScene s(0.01, -5, 1e6, 1e-9);
    s.ball.basemass = 1e6;
    s.other.setmasses();
    EXPECT_EQ(collidelink(s.ball, *s.link, -20), 1);
    EXPECT_TRUE(std::isfinite(s.ball.y) && std::isfinite(s.rod.balls[1]->y));
}

TEST(CollideObjects, EveryPassRunsAndReportsAnyContact) {
    LinkScene s(30, -8);
    Tball& second = addball(s.other, 112, 0, 10, 1);
    s.other.setmasses();
    EXPECT_EQ(collideobjects(s.rod, s.other, -20), 1);
    // The ball beside the link and the ball touching the link's end were both resolved.
    EXPECT_LT(s.ball.y, -13);
    EXPECT_GT(second.x - s.rod.balls[1]->x, 15);
    EXPECT_EQ(collideobjects(s.rod, s.other, -20), 0);
}

// Objects and pairs far apart are passed over cheaply, but the reach of a contact also comes
// from a link's thickness and from the closing speed of either side: none of these may be
// passed over. Each ball here is further from the other object's balls than their radii.
TEST(CollideObjects, ThickLinksAndFastBodiesAreNotPassedOver) {
    for (double kick : {-20.0, 60.0}) {
        LinkScene thick(50, -40);
        thick.link->thickness = 35;
        EXPECT_EQ(collideobjects(thick.rod, thick.other, kick), 1) << kick;
        EXPECT_LT(thick.ball.y, -45) << kick;

        LinkScene fastball(50, -40);
        fastball.ball.vy = 45;
        EXPECT_EQ(collideobjects(fastball.rod, fastball.other, kick), 1) << kick;

        // Either end of the link swinging at the ball.
        for (int end : {0, 1}) {
            LinkScene fastlink(50, -40);
            fastlink.rod.balls[end]->vy = -45;
            EXPECT_EQ(collideobjects(fastlink.rod, fastlink.other, kick), 1) << kick << end;
        }

        // Past the link's end, so only the ball pair can touch.
        LinkScene fastpair(-60, 0);
        fastpair.ball.vx = 70;
        EXPECT_EQ(collideobjects(fastpair.rod, fastpair.other, kick), 1) << kick;
        // Placed at the closing speed's reach plus the margin, shared by equal masses.
        EXPECT_NEAR(fastpair.ball.x, -60 - (70 + SEPARATION - 60) / 2, 1e-9) << kick;
    }
}
