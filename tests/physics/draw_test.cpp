// Histories and drawing through the camera, read back from the recording renderer.
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/random.h"
#include "runtime/renderer.h"
#include "runtime/runtime.h"
#include "scene.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {

TImage image(const std::string& name) {
    auto data = std::make_shared<TImageData>();
    data->path = name;
    return data;
}

std::vector<DrawCall>& drawn() {
    Recorder()->calls.clear();
    return Recorder()->calls;
}

const Camera camera{100, 50, 2, 800, 600};

Teamrgb colourof(const DrawCall& call) {
    return {call.state.r, call.state.g, call.state.b};
}

} // namespace

TEST(Draw, BallIsScaledToItsRadiusThroughTheCamera) {
    Tball b(GameRandom());
    b.x = 150, b.y = 40, b.radius = 30, b.image = image("ball");
    auto& calls = drawn();
    b.draw(camera);
    b.bigimage = 1;
    b.draw(camera);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].x, 500); // (150 - 100) * 2 + 400
    EXPECT_EQ(calls[0].y, 280);
    EXPECT_NEAR(calls[0].state.scaleX, 60 / 150.0, 1e-6);
    EXPECT_NEAR(calls[0].state.scaleY, 60 / 150.0, 1e-6);
    EXPECT_NEAR(calls[1].state.scaleX, 60 / 400.0, 1e-6);
    EXPECT_EQ(b.project(camera).radius, 60);
}

TEST(Draw, LinkIsABarBetweenItsProjectedEnds) {
    ragobject body;
    addball(body, 100, 50, 5, 1);
    addball(body, 100, 250, 5, 1); // straight down: atan gives 90, drawn as -90
    Tlink l{image("rect"), "normal", body.balls[0].get(), body.balls[1].get(), 0, 7, 0};
    auto& calls = drawn();
    l.draw(camera);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].x, 400);
    EXPECT_EQ(calls[0].y, 500);
    EXPECT_NEAR(calls[0].state.rotation, -90, 1e-3);
    EXPECT_NEAR(calls[0].state.scaleX, 400 / 280.0, 1e-5);
    EXPECT_NEAR(calls[0].state.scaleY, 2 * 7 * 2 / 280.0, 1e-6);
}

TEST(Draw, FigureDrawsNeutralPartsThenTeamColouredParts) {
    Tman man;
    for (int coloured : {1, 0, 2, 0}) addball(man, 0, 0, 5, 1).coloured = coloured;
    for (auto& b : man.balls) b->image = image("ball");
    man.links.push_back({image("rect"), "normal", man.balls[0].get(), man.balls[1].get(), 0, 3, 1});
    man.links.push_back({image("rect"), "normal", man.balls[1].get(), man.balls[3].get(), 0, 3, 0});
    man.team = 2;
    man.dimmed = 1;
    auto& calls = drawn();
    man.draw(camera);
    std::vector<std::string> order;
    for (auto& c : calls) order.push_back(c.what + std::to_string(c.state.b));
    EXPECT_EQ(order,
              (std::vector<std::string>{"ball70", "ball70", "rect70", "ball200", "rect200"}));
    man.team = 7;
    man.dimmed = 0;
    drawn();
    man.draw(camera);
    EXPECT_EQ(calls.back().state.r, 160);
}

TEST(Draw, MainBallShowsItsOwnerAndTurns) {
    Tmainball ball(GameRandom());
    ball.image = image("mainball");
    ball.x = 0, ball.y = 0;
    auto& calls = drawn();
    ball.paint();
    ball.draw(camera);
    EXPECT_EQ(calls.back().state.r, 255);
    EXPECT_EQ(calls.back().state.b, 255);
    EXPECT_NEAR(calls.back().state.rotation, 90 - 45, 1e-4);
    ball.owner = 2;
    ball.x = 3000, ball.y = 0;
    ball.paint();
    ball.draw(camera);
    EXPECT_EQ(calls.back().state.r, 130);
    EXPECT_EQ(calls.back().state.b, 255);
    EXPECT_EQ(ball.colour[1], 130);
    EXPECT_NEAR(calls.back().state.rotation, 0, 1e-4);
}

TEST(Draw, ThePaletteColoursFigurePartsAndTheOwnedBall) {
    Tman man;
    addball(man, 0, 0, 5, 1).coloured = 0;
    addball(man, 10, 0, 5, 1).coloured = 1;
    for (auto& b : man.balls) b->image = image("ball");
    Tmainball ball(GameRandom());
    ball.image = image("mainball");
    auto& calls = drawn();
    for (const Teampalette* palette : {&standardpalette, &safepalette}) {
        man.palette = ball.palette = palette;
        for (int team = 1; team <= 4; ++team) {
            calls.clear();
            man.team = ball.owner = team;
            man.draw(camera);
            ball.paint();
            ball.draw(camera);
            ASSERT_EQ(calls.size(), 3u);
            EXPECT_EQ(calls[0].state.r, 160); // the neutral part keeps its grey
            const Teamrgb& part = palette->figure[team - 1];
            EXPECT_EQ(colourof(calls[1]), part);
            // What the ball was drawn in is what its trail takes.
            const Teamrgb& owned = palette->ball[team - 1];
            EXPECT_EQ(colourof(calls[2]), owned);
            EXPECT_EQ(ball.colour[0], owned.r);
            EXPECT_EQ(ball.colour[1], owned.g);
            EXPECT_EQ(ball.colour[2], owned.b);
        }
    }
    // A ball nobody touched yet stays white in both.
    ball.owner = 0;
    ball.paint();
    ball.draw(camera);
    EXPECT_EQ(calls.back().state.g, 255);
}

TEST(History, NewestFirstAndFiftyDeep) {
    Tman man;
    Tball& a = addball(man, 0, 0, 5, 1);
    addball(man, 10, 4, 5, 1);
    Tmainball ball(GameRandom());
    for (int step = 0; step < 60; ++step) {
        a.x = step, a.vx = 2 * step;
        man.record();
        ball.x = step, ball.vy = -step;
        ball.record();
    }
    EXPECT_EQ(man.histx[0], (59 + 10) / 2.0);
    EXPECT_EQ(man.histx[49], (10 + 10) / 2.0);
    EXPECT_EQ(man.histy[3], 2);
    EXPECT_EQ(man.histvx[1], 2 * 58 / 2.0);
    EXPECT_EQ(ball.histx[0], 59);
    EXPECT_EQ(ball.histvy[49], -10);
}
