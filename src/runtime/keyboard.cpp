// The keyboard queries of the game. Each one first delivers the pending window (or script)
// events, so the answers are always current without a separate poll call.
#include "runtime/keyboard.h"
#include "runtime/context.h"
#include "runtime/pads.h"

int KeyHits(int key) {
    PumpEvents();
    return rt().keys.hits(key);
}

int KeyDown(int key) {
    PumpEvents();
    return rt().keys.down(key);
}

void FlushKeys() {
    PumpEvents();
    rt().keys.flush();
    FlushPads();
}

bool AnyInput() {
    PumpEvents();
    bool any = rt().keys.anyhits() > 0;
    for (int button = 0; button < PAD_BUTTONS; ++button) any = PadDown(ANY_PAD, button) || any;
    return any;
}

int GetChar() {
    PumpEvents();
    return rt().keys.nextChar();
}

EventBatch::EventBatch() {
    PumpEvents();
    ++rt().batches;
}

EventBatch::~EventBatch() {
    --rt().batches;
}

int CloseRequested() {
    PumpEvents();
    return rt().keys.takeClose();
}
