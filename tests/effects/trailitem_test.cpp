#include "effects/trailitem.h"
#include "recording.h"
#include <gtest/gtest.h>

TEST(TrailItem, FadesOutOnTheFortyFourthOrThirtyEighthUpdate) {
    const float white[3] = {255, 255, 255};
    for (auto [alpha, lastupdate] : {std::pair{1.0f, 44}, std::pair{0.5f, 38}}) {
        Ttrailitem item;
        item.start(0, 0, 0, 0, white, blob(), alpha);
        int update = 1;
        while (item.update() == 0) ++update;
        EXPECT_EQ(update, lastupdate) << "alpha " << alpha;
    }
}

TEST(TrailItem, StartsOnWholeNumbersAndDrawsAtOnePointSixZoom) {
    const float colour[3] = {10.9f, 20.2f, 255.9f};
    Ttrailitem item;
    item.start(109.7, -2.6, 1.9, -1.9, colour, blob(), 1.0f);
    EXPECT_EQ(item.x, 109);
    EXPECT_EQ(item.y, -2);
    EXPECT_EQ(item.size, 40.0);
    item.update();
    EXPECT_EQ(item.x, 110);
    EXPECT_EQ(item.y, -3);

    recording();
    item.draw(Camera{10, 1, 0.5, 1024, 768});
    DrawRect(0, 0, 1, 1);
    auto images = CallsOf(DrawCall::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_FLOAT_EQ(images[0].x, 50 + 512);
    EXPECT_FLOAT_EQ(images[0].y, -2 + 384);
    EXPECT_FLOAT_EQ(images[0].state.scaleX, 0.8f);
    EXPECT_FLOAT_EQ(images[0].state.scaleY, 0.8f);
    EXPECT_FLOAT_EQ(images[0].state.alpha, 0.9f);
    EXPECT_EQ(images[0].state.blend, BLEND_LIGHT);
    EXPECT_EQ(images[0].state.r, 10);
    EXPECT_EQ(images[0].state.g, 20);
    EXPECT_EQ(images[0].state.b, 255);
    const DrawState after = CallsOf(DrawCall::Rect).at(0).state;
    EXPECT_EQ(after.blend, BLEND_ALPHA);
    EXPECT_EQ(after.alpha, 1);
    EXPECT_EQ(after.scaleY, 1);
}
