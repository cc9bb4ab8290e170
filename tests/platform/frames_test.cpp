// How far the game may run ahead of Mesa's rasteriser on the offscreen surface, whose swaps
// never wait: every frame left queued keeps its binned triangles in memory.
#include "platform_fixture.h"
#include "runtime/graphics.h"

namespace {

class FramesAhead : public RuntimeTest {
  protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_TRUE(start(VideoMode::Offscreen));
        ASSERT_EQ(OpenGraphics(1024, 768, 0, 60, 0), 1);
    }
    // Cheap to send, slow to fill: forty see-through layers over the whole surface, some
    // thirty million blended pixels, against eighty triangles to bin.
    void heavyFrame(int frame) {
        ClearScreen();
        SetBlendMode(BLEND_ALPHA);
        SetDrawAlpha(0.5f);
        for (int layer = 0; layer < 40; ++layer) {
            SetDrawColor((frame * 7 + layer * 31) % 256, layer * 6, 255 - layer * 6);
            DrawRect(0, 0, 1024, 768);
        }
        FlipFrame(0);
    }
};

} // namespace

TEST_F(FramesAhead, NeverMoreThanTwoFramesUnfinished) {
    for (int frame = 0; frame < 30; ++frame) {
        heavyFrame(frame);
        ASSERT_LE(FramesInFlight(), 2) << "after frame " << frame;
    }
}

// Reading the picture waits for all drawing, and the count must see that: it asks the driver
// rather than counting frames.
TEST_F(FramesAhead, ReadingThePictureFinishesEveryFrame) {
    for (int frame = 0; frame < 10; ++frame) heavyFrame(frame);
    Pixels shot;
    ASSERT_TRUE(TestRenderer()->readPixels(shot));
    EXPECT_EQ(FramesInFlight(), 0);
}
