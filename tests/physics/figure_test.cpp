// The figure of media/man.txt as it plays: it crosses the stadium, reaches and shoves the main
// ball, and stands still and untangled at rest.
#include "physics/collide.h"
#include "physics/geometry.h"
#include "scene.h"
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const std::string figurefile = std::string(VANTORIX_MEDIA_DIR) + "/man.txt";

double linkstretch(const Tman& man) {
    double worst = 0;
    for (auto& l : man.links)
        worst = std::max(worst,
                         std::hypot(l.ball2->x - l.ball1->x, l.ball2->y - l.ball1->y) / l.length);
    return worst;
}

double topspeed(const Tman& man) {
    double top = 0;
    for (auto& b : man.balls) top = std::max(top, std::hypot(b->vx, b->vy));
    return top;
}

// Largest difference between a joint's angle and its spring's target: a limb folded through
// the body or a knot shows up as a joint far from its pose.
double worstjoint(const Tman& man) {
    double worst = 0;
    for (auto& t : man.tensions) {
        double turn = std::atan2(t.ball3->y - t.ball2->y, t.ball3->x - t.ball2->x) -
                      std::atan2(t.ball1->y - t.ball2->y, t.ball1->x - t.ball2->x);
        worst = std::max(worst, double(std::fabs(wrap180(float(turn * 180 / M_PI - t.angle)))));
    }
    return worst;
}

// One figure in arena 1 starting at figurex, with the main ball at mainballx, pushed by its
// steering each frame.
struct Game {
    Scene scene;
    Game(double figurex, double mainballx) {
        EXPECT_TRUE(buildscene(scene, figurefile, 1, 1));
        for (auto& b : man().balls) b->x += figurex, b->oldx += figurex;
        scene.mainball->x = scene.mainball->oldx = mainballx;
    }
    Tman& man() { return *scene.figures[0]; }
    // Steering only adds to the first ball's velocity, so pushing before the step is the
    // same as pushing between storing the old positions and integrating.
    void frame(double pushx, double pushy) {
        man().balls[0]->vx += pushx;
        man().balls[0]->vy += pushy;
        stepscene(scene);
    }
};

} // namespace

TEST(Figure, IsAWholeBodyWhoseSpringsWorkAtHalfSize) {
    Game game(0, 3000);
    const Tman& man = game.man();
    EXPECT_GE(man.balls.size(), 12u);
    EXPECT_LE(man.balls.size(), 20u);
    for (auto& t : man.tensions) EXPECT_GT(t.strength, 10);
    EXPECT_TRUE(
        std::any_of(man.balls.begin(), man.balls.end(), [](auto& b) { return b->coloured == 1; }));
}

TEST(Figure, StandsStillAndInShapeAtRest) {
    Game game(0, 3000);
    for (int frame = 0; frame < 600; ++frame) {
        game.frame(0, 0);
        if (frame >= 60) {
            ASSERT_LT(linkstretch(game.man()), 1.5) << "frame " << frame;
        }
    }
    EXPECT_LT(topspeed(game.man()), 0.05);
    EXPECT_LT(worstjoint(game.man()), 10);
}

TEST(Figure, CrossesTheStadiumInAFewSecondsAndShovesTheBall) {
    Game game(-2000, 0);
    int touched = -1, crossed = -1;
    for (int frame = 0; frame < 600 && crossed < 0; ++frame) {
        game.frame(6, 0);
        if (touched < 0 && game.scene.mainball->x != 0) touched = frame;
        game.man().computecentre();
        if (game.man().centrex > 2000) crossed = frame;
        ASSERT_LT(linkstretch(game.man()), frame < 60 ? 2.2 : 1.5) << "frame " << frame;
    }
    EXPECT_GE(touched, 0);
    EXPECT_GT(game.scene.mainball->x, 500);
    EXPECT_GT(crossed, 0);
    EXPECT_LT(crossed, 300);
}

TEST(Figure, RecoversItsShapeAfterRoughPlay) {
    Game game(-1000, 0);
    // Zigzag into the walls and the ball for ten seconds, then let go.
    for (int frame = 0; frame < 600; ++frame) {
        int phase = frame / 45 % 4;
        game.frame(phase == 0 ? 6 : phase == 2 ? -6 : 0, phase == 1 ? 6 : phase == 3 ? -6 : 0);
    }
    for (int frame = 0; frame < 300; ++frame) game.frame(0, 0);
    EXPECT_LT(linkstretch(game.man()), 1.2);
    EXPECT_LT(worstjoint(game.man()), 20);
}
