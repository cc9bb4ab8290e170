// Frame pacing for FlipFrame(-1): a steady schedule of frames at the refresh rate given to
// OpenGraphics, over a millisecond clock. Pure arithmetic, so it runs the same on the real
// clock and on the virtual clock of scripted runs.
//
// Frame n is due at start + n * 1000 / hertz (exact integer maths, so 60 Hz does not drift by
// the rounding of 16.67 ms). When a frame comes in late, or the clock jumps by a second or more
// either way, the schedule restarts from now instead of rushing frames to catch up: a stalled
// game resumes at normal speed rather than fast-forwarding.
#pragma once

class FramePacer {
  public:
    // Switches timer mode on at the rate; hertz <= 0 switches it off (waitFor then returns 0).
    void open(int hertz, int nowMs);
    // Milliseconds to sleep before showing the next frame (0 = show now); advances the
    // schedule by one frame.
    int waitFor(int nowMs);
    bool active() const { return hertz_ > 0; }
    // The frames from now on come ms later than the schedule had them.
    void hold(int ms) { startMs_ += ms; }

  private:
    int hertz_ = 0;
    int startMs_ = 0;     // clock reading of frame 0 of the current schedule
    long long ticks_ = 0; // 1000 per frame since startMs_, so ticks_ / hertz_ is in ms
};

// Full screen: watches the durations of flips that wait for the vertical blank. Once three in
// a row each took 1000 / hertz ms (integer division) within 1 ms, the display already refreshes
// at the game's rate and the vertical blank can pace the frames instead of the timer.
class RefreshProbe {
  public:
    explicit RefreshProbe(int hertz) : periodMs_(hertz > 0 ? 1000 / hertz : 0) {}
    // Adds one flip's duration; true once three in a row matched the period.
    bool add(int flipMs);

  private:
    int periodMs_;
    int inRow_ = 0;
};
