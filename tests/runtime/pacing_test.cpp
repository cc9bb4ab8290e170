#include "runtime/pacing.h"
#include <gtest/gtest.h>

namespace {

// Runs frames that each take workMs of drawing, sleeping what the pacer asks; returns the
// clock at the end.
int runFrames(FramePacer& pacer, int& now, int frames, int workMs) {
    for (int i = 0; i < frames; ++i) {
        now += workMs;
        int wait = pacer.waitFor(now);
        EXPECT_GE(wait, 0);
        EXPECT_LT(wait, 1000);
        now += wait;
    }
    return now;
}

} // namespace

TEST(FramePacer, SixtyHertzKeepsTime) {
    for (int workMs : {0, 5, 12}) {
        FramePacer pacer;
        int now = 1234;
        pacer.open(60, now);
        EXPECT_NEAR(runFrames(pacer, now, 600, workMs) - 1234, 10000, 17) << workMs;
    }
}

// A frame that runs late restarts the schedule from there: the frames after it are not
// shortened to catch up, they last 16-17 ms again.
TEST(FramePacer, LateFrameRestartsWithoutCatchUp) {
    FramePacer pacer;
    int now = 0;
    pacer.open(60, now);
    runFrames(pacer, now, 10, 2);
    now += 200; // a stall
    EXPECT_EQ(pacer.waitFor(now), 0);
    int start = now;
    runFrames(pacer, now, 60, 2);
    EXPECT_NEAR(now - start, 1000, 17);

    // A clock jump backwards asks for no sleep of a second or more, and also restarts.
    now -= 5000;
    EXPECT_EQ(pacer.waitFor(now), 0);
    start = now;
    runFrames(pacer, now, 60, 0);
    EXPECT_NEAR(now - start, 1000, 17);
}

// Any wait under a second is slept, however long: a slow rate waits its whole period and a
// clock that steps back half a second only makes the next frame wait that much longer.
TEST(FramePacer, WaitsUnderASecondAreKept) {
    FramePacer slow;
    slow.open(2, 0);
    EXPECT_EQ(slow.waitFor(0), 500);
    EXPECT_EQ(slow.waitFor(500), 500);

    FramePacer pacer;
    int now = 10000;
    pacer.open(60, now);
    runFrames(pacer, now, 30, 1);
    now -= 500;
    EXPECT_NEAR(pacer.waitFor(now), 516, 1);
}

TEST(FramePacer, OffAndAcrossTheClockWrap) {
    FramePacer off;
    off.open(0, 0);
    EXPECT_FALSE(off.active());
    EXPECT_EQ(off.waitFor(5), 0);

    FramePacer pacer;
    int now = 2147483647 - 100; // the millisecond clock wraps during the run
    pacer.open(60, now);
    int total = 0;
    for (int i = 0; i < 60; ++i) {
        now = static_cast<int>(static_cast<unsigned>(now) + 1u);
        int wait = pacer.waitFor(now);
        now = static_cast<int>(static_cast<unsigned>(now) + static_cast<unsigned>(wait));
        total += 1 + wait;
    }
    EXPECT_NEAR(total, 1000, 17);
}

// Full screen hands the pacing to the vertical blank only after three flips in a row at the
// game's rate (1000 / 60 = 16 ms, within 1 ms); a faster or uneven display keeps the timer.
TEST(RefreshProbe, ThreeFlipsInARowAtTheRate) {
    RefreshProbe sixty(60);
    EXPECT_FALSE(sixty.add(16));
    EXPECT_FALSE(sixty.add(17));
    EXPECT_FALSE(sixty.add(30)); // a missed blank starts the count again
    EXPECT_FALSE(sixty.add(15));
    EXPECT_FALSE(sixty.add(16));
    EXPECT_TRUE(sixty.add(17));

    RefreshProbe fast(60);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(fast.add(i % 2 ? 8 : 14)); // 120 Hz, or no wait

    RefreshProbe off(0);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(off.add(0));
}
