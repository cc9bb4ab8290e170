// Frame pacing: see pacing.h for the schedule and why it never catches up.
#include "runtime/pacing.h"

void FramePacer::open(int hertz, int nowMs) {
    hertz_ = hertz > 0 ? hertz : 0;
    startMs_ = nowMs;
    ticks_ = 0;
}

int FramePacer::waitFor(int nowMs) {
    if (hertz_ <= 0) return 0;
    // The clock wraps at 2^32; the unsigned difference stays right across the wrap.
    long long elapsed =
        static_cast<int>(static_cast<unsigned>(nowMs) - static_cast<unsigned>(startMs_));
    ticks_ += 1000;
    long long wait = ticks_ / hertz_ - elapsed;
    if (wait > 0 && wait < 1000) return static_cast<int>(wait);
    // Late (or the clock jumped): this frame is shown now and the schedule starts again here.
    ticks_ = elapsed * hertz_;
    return 0;
}

bool RefreshProbe::add(int flipMs) {
    const bool matches = periodMs_ > 0 && flipMs >= periodMs_ - 1 && flipMs <= periodMs_ + 1;
    inRow_ = matches ? inRow_ + 1 : 0;
    return inRow_ >= 3;
}
