// The keyboard queries of the game. Each one first delivers the pending window (or script)
// events, so the answers are always current without a separate poll call.
#include "runtime/keyboard.h"
#include "runtime/context.h"

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
