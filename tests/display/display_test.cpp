#include "effects/trailitem.h"
#include "fixture.h"
#include "match/snapshot.h"
#include "physics/arena.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/graphics.h"
#include "runtime/runtime.h"
#include <algorithm>
#include <gtest/gtest.h>

TEST(Camera, GlidesInFromFarAwayAndThenFramesThePlayer) {
    auto m = makematch("custom", 800, 600, 3);
    m->frame = 0;
    m->updatecamera();
    EXPECT_EQ(m->camerax, 0);
    EXPECT_EQ(m->cameray, 0);
    EXPECT_DOUBLE_EQ(m->zoom, 0.05 * 800 / 1024);

    // After the glide: the centre between figure 1 and the ball; computer figures are ignored.
    m->frame = 150;
    m->man(1).computecentre();
    const double fx = m->man(1).centrex, bx = m->mainballs[0]->x;
    m->updatecamera();
    EXPECT_DOUBLE_EQ(m->camerax, (fx + bx) / 2);
    EXPECT_LE(m->zoom, 0.7 * 800 / 1024);
    EXPECT_GT(m->zoom, 0.05 * 800 / 1024);
}

TEST(Bars, StackFromTheTopAndGrowToTheScreenWidth) {
    auto m = makematch("custom", 640, 480, 3);
    m->man(1).bar = m->goal / 2;
    m->man(2).bar = m->goal;
    m->drawbars();
    auto bars = CallsOf(DrawCall::Image);
    ASSERT_EQ(bars.size(), 3u);
    const int w = ImageWidth(m->trailimage), h = ImageHeight(m->trailimage);
    EXPECT_FLOAT_EQ(bars[0].state.scaleY * h, 9.375f);
    EXPECT_FLOAT_EQ(bars[0].y, 0);
    EXPECT_FLOAT_EQ(bars[1].y, 9.375f);
    EXPECT_FLOAT_EQ(bars[2].y, 18.75f);
    EXPECT_FLOAT_EQ(bars[0].state.scaleX * w, 320);
    EXPECT_FLOAT_EQ(bars[1].state.scaleX * w, 640);
    EXPECT_FLOAT_EQ(bars[2].state.scaleX, 0);
    // Each bar in its own colour.
    EXPECT_NE(bars[0].state.r, bars[1].state.r);
    EXPECT_NE(bars[1].state.b, bars[2].state.b);
}

TEST(Bars, TakeTheChosenPaletteAsDoFiguresBallAndTrail) {
    const Teamrgb standard[4] = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 0}};
    for (int choice : {0, 1}) {
        auto m = makematch("custom", 1024, 768, 4, choice);
        const Teampalette& palette = choice == 1 ? safepalette : standardpalette;
        m->drawbars();
        const auto bars = CallsOf(DrawCall::Image);
        ASSERT_EQ(bars.size(), 4u);
        for (int k = 0; k < 4; ++k) {
            const Teamrgb drawn = {bars[k].state.r, bars[k].state.g, bars[k].state.b};
            EXPECT_EQ(drawn, choice == 1 ? safeteams[k] : standard[k]) << "bar " << k + 1;
        }
        // The set-up hands the same palette to every figure and the main ball, whose colour
        // the trail's blobs take.
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(m->man(k).palette, &palette);
        Tmainball& ball = *m->mainballs[0];
        EXPECT_EQ(ball.palette, &palette);
        ball.owner = 3;
        ball.paint();
        m->trail = 1;
        m->updatetrail();
        const Ttrailitem& blob = *m->trailitems->first();
        EXPECT_EQ(blob.colour[0], palette.ball[2].r);
        EXPECT_EQ(blob.colour[1], palette.ball[2].g);
        EXPECT_EQ(blob.colour[2], palette.ball[2].b);
    }
}

TEST(Background, GridRoundEndsAndSurroundingsOfArenaOne) {
    auto m = makematch("levels");
    m->updatecamera(); // frame 0: from far away, so every grid position is on the screen
    m->backcamera = m->camera();
    m->drawbackground();
    const auto& calls = Recorder()->calls;
    int vertical = 0, horizontal = 0;
    for (const DrawCall& line : CallsOf(DrawCall::Line)) {
        if (line.x == line.w) {
            ++vertical;
            EXPECT_EQ(line.x, float(int(line.x))); // whole pixels
        }
        if (line.y == line.h) ++horizontal;
    }
    // Ten layers of eight vertical and five horizontal positions.
    EXPECT_EQ(vertical, 80);
    EXPECT_EQ(horizontal, 50);

    auto ends = imagesof("mezball2.png");
    ASSERT_EQ(ends.size(), 2u);
    const double h = m->world.bounds.bottom - m->world.bounds.top;
    EXPECT_FLOAT_EQ(ends[0].state.scaleX, float(m->zoom * h / 1000));
    EXPECT_FLOAT_EQ(ends[1].state.scaleX, -ends[0].state.scaleX);
    EXPECT_FLOAT_EQ(ends[0].y, ends[1].y);
    // The stadium is centred, so the mirrored end sits where the left one does, reflected.
    EXPECT_NEAR(ends[1].x - 512, 512 - ends[0].x - 1, 1e-3);
    EXPECT_EQ(ends[0].state.r, 64);

    auto rects = CallsOf(DrawCall::Rect);
    ASSERT_EQ(rects.size(), 4u);
    for (const DrawCall& r : rects) EXPECT_EQ(r.state.g, 64);
    EXPECT_FLOAT_EQ(rects[2].h, ends[0].y); // above the upper wall
    // Grid first, then the ends and surroundings, then the obstacles.
    auto firstof = [&](DrawCall::Kind k) {
        return std::find_if(calls.begin(), calls.end(), [&](auto& c) { return c.kind == k; });
    };
    EXPECT_LT(firstof(DrawCall::Line), firstof(DrawCall::Image));
    EXPECT_LT(firstof(DrawCall::Image), firstof(DrawCall::Rect));
}

TEST(Banner, FadesOverTwoSecondsInLevelsAndIsAbsentInCustomGames) {
    auto m = makematch("levels", 800, 600);
    for (int i = 0; i < 130; ++i) {
        m->advance();
        m->drawbanner(0.5);
    }
    auto shown = CallsOf(DrawCall::Text);
    ASSERT_EQ(shown.size(), 120u);
    EXPECT_EQ(shown[0].what, "   LEVEL 1   ");
    EXPECT_FLOAT_EQ(shown[0].state.alpha, 119.0f / 120);
    EXPECT_FLOAT_EQ(shown.back().state.alpha, 0);
    EXPECT_NEAR(shown[0].state.scaleX * TextWidth(shown[0].what), 800, 1e-3);

    auto custom = makematch("custom");
    custom->advance();
    custom->drawbanner(0.5);
    EXPECT_TRUE(CallsOf(DrawCall::Text).empty());
}

TEST(Trail, HighQualityDropsTwoBlobsPerFrameNewestFirst) {
    auto m = makematch("custom");
    m->trail = 2;
    Tmainball& ball = *m->mainballs[0];
    ball.x = 100, ball.oldx = 50, ball.y = ball.oldy = 0;
    m->updatetrail();
    EXPECT_EQ(m->trailitems->count(), 2);
    // The midpoint blob came last, so it leads the list.
    EXPECT_EQ(m->trailitems->first()->x, 75);
    EXPECT_EQ(m->trailitems->last()->x, 100);
    // The blobs alive after each frame; those that ended in it are drawn once more.
    auto alive = [&] {
        int n = 0;
        for (const auto& item : *m->trailitems) n += item->ended ? 0 : 1;
        return n;
    };
    for (int frame = 2; frame <= 100; ++frame) {
        clearcalls();
        m->updatetrail();
        m->drawtrail();
    }
    // Items of alpha 0.5 end on their 38th update and are drawn once more in that frame.
    EXPECT_EQ(alive(), 74);
    EXPECT_EQ(CallsOf(DrawCall::Image).size(), 76u);

    m->trail = 1;
    for (int frame = 1; frame <= 100; ++frame) {
        clearcalls();
        m->updatetrail();
        m->drawtrail();
    }
    EXPECT_EQ(alive(), 43);
    EXPECT_EQ(CallsOf(DrawCall::Image).size(), 44u);
}

// A frame's advance changes the game and draws nothing at all; drawing it changes nothing.
TEST(Frame, AdvanceDrawsNothingAndDrawingChangesNothing) {
    auto m = makematch("custom", 1024, 768, 4);
    m->trail = 2;
    m->fireworks = 1;
    m->input.fillbar1 = true; // a win at once: fireworks, the tally
    for (int f = 0; f < 200; ++f) {
        clearcalls();
        m->advance();
        ASSERT_TRUE(Recorder()->calls.empty()) << "frame " << f;
        m->input.fillbar1 = false;
        const uint64_t hash = statehash(*m);
        const int burstsbefore = m->rockets->count(), blobsbefore = m->trailitems->count();
        m->draw();
        EXPECT_FALSE(Recorder()->calls.empty());
        EXPECT_EQ(statehash(*m), hash);
        EXPECT_EQ(m->rockets->count(), burstsbefore);
        EXPECT_EQ(m->trailitems->count(), blobsbefore);
    }
    EXPECT_GT(m->rockets->count(), 0);
    EXPECT_EQ(m->state, "tellwinner");
}
