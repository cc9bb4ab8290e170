// The keyboard queries of the game. Each one first delivers the pending window (or script)
// events, so the answers are always current without a separate poll call.
#include "runtime/keyboard.h"
#include "runtime/context.h"

int KeyHits(int key) {
    rt().pumpEvents();
    return rt().keys.hits(key);
}

int KeyDown(int key) {
    rt().pumpEvents();
    return rt().keys.down(key);
}

void FlushKeys() {
    rt().pumpEvents();
    rt().keys.flush();
}

int GetChar() {
    rt().pumpEvents();
    return rt().keys.nextChar();
}

int CloseRequested() {
    rt().pumpEvents();
    return rt().keys.takeClose();
}
