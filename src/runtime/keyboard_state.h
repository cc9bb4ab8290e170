// The state behind the keyboard queries: held keys, press counts and the typed-character
// queue, changed by input events in arrival order. Portable and testable without a window.
#pragma once
#include <deque>

class KeyboardState {
  public:
    // Key pressed: counts only on the up-to-down transition (auto-repeat adds nothing).
    void press(int code);
    void release(int code);
    // Appended when fewer than 256 characters are pending, else dropped.
    void typed(int character);
    // Focus lost or regained: everything is forgotten, as by flush.
    void focusChanged() { flush(); }
    void requestClose() { closeFlag = true; }

    int hits(int code); // returns and resets the press count
    int anyhits();      // presses of every key together; returns and resets the count
    int down(int code) const;
    int nextChar();  // 0 when empty
    int takeClose(); // returns and clears the close flag
    void flush();

  private:
    bool held[256] = {};
    int presses[256] = {};
    int anypresses = 0;
    std::deque<int> chars;
    bool closeFlag = false;
};
