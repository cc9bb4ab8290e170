// Key states changed by input events. Codes outside 0-255 are ignored rather than trusted:
// an unknown key from the platform must never write past the tables.
#include "runtime/keyboard_state.h"
#include <cstddef>

namespace {

constexpr size_t MAX_PENDING_CHARS = 256;

bool valid(int code) {
    return code >= 0 && code < 256;
}

} // namespace

void KeyboardState::press(int code) {
    if (!valid(code) || held[code]) return;
    held[code] = true;
    ++presses[code];
    ++anypresses;
}

void KeyboardState::release(int code) {
    if (valid(code)) held[code] = false;
}

void KeyboardState::typed(int character) {
    if (chars.size() < MAX_PENDING_CHARS) chars.push_back(character);
}

int KeyboardState::hits(int code) {
    if (!valid(code)) return 0;
    int n = presses[code];
    presses[code] = 0;
    return n;
}

int KeyboardState::anyhits() {
    const int n = anypresses;
    anypresses = 0;
    return n;
}

int KeyboardState::down(int code) const {
    return valid(code) && held[code] ? 1 : 0;
}

int KeyboardState::nextChar() {
    if (chars.empty()) return 0;
    int c = chars.front();
    chars.pop_front();
    return c;
}

int KeyboardState::takeClose() {
    int flag = closeFlag ? 1 : 0;
    closeFlag = false;
    return flag;
}

// A key still held down after a flush counts as up: its release then does nothing, and it
// counts again only when pressed anew.
void KeyboardState::flush() {
    for (int i = 0; i < 256; ++i) held[i] = false, presses[i] = 0;
    anypresses = 0;
    chars.clear();
}
