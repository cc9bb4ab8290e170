// Keyboard polling with Windows virtual-key codes. Every query first pumps pending window
// events, so no separate poll call is needed.
#pragma once

enum KeyCode : int {
    KEY_BACKSPACE = 8,
    KEY_TAB = 9,
    KEY_ENTER = 13,
    KEY_ESCAPE = 27,
    KEY_SPACE = 32,
    KEY_LEFT = 37,
    KEY_UP = 38,
    KEY_RIGHT = 39,
    KEY_DOWN = 40,
    KEY_1 = 49,
    KEY_4 = 52,
    KEY_5 = 53,
    KEY_A = 65,
    KEY_D = 68,
    KEY_I = 73,
    KEY_J = 74,
    KEY_K = 75,
    KEY_L = 76,
    KEY_P = 80,
    KEY_S = 83,
    KEY_W = 87,
    KEY_DELETE = 46,
    KEY_F12 = 123,
    KEY_LSHIFT = 160,
    KEY_RSHIFT = 161,
    KEY_LCONTROL = 162,
    KEY_RCONTROL = 163,
    KEY_LALT = 164,
    KEY_RALT = 165,
};

// Presses of the key since the last call for it (or the last FlushKeys); resets the count.
int KeyHits(int key);
// Someone is there: a key pressed since the last call (or FlushKeys), or a pad's button or
// direction held now. Takes nothing from the other queries' counts.
bool AnyInput();
// 1 while the key is held.
int KeyDown(int key);
// Forgets every held key, every press count and the typed-character queue (and the same of
// every pad: a button still held counts again only when pressed anew).
void FlushKeys();
// The next typed character code, 0 when none is waiting.
int GetChar();
// 1 if the window was asked to close since the last call.
int CloseRequested();

// While one lives, the key and pad queries deliver no further events: a caller that reads many
// keys and pads at once (a frame's input) delivers what is pending once, when it starts, and
// then reads them all as of that moment.
class EventBatch {
  public:
    EventBatch();
    ~EventBatch();
    EventBatch(const EventBatch&) = delete;
    EventBatch& operator=(const EventBatch&) = delete;
};
