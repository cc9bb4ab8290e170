// The millisecond clock. Live runs read the system clock; scripted runs a virtual clock that
// only moves when the game sleeps (Delay, and the pacing inside FlipFrame).
#pragma once

// Milliseconds from a fixed start point; wraps at 2^32, so only differences are meaningful.
int Millisecs();
// Sleeps the game thread.
void Delay(int ms);
