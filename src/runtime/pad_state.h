// The state behind the pad queries of one pad, changed by its events in arrival order;
// portable and testable without a pad. A direction is held while the d-pad or the left stick
// points that way (the stick past a dead zone of a quarter of its range, by its angle in eight
// equal sectors); a press counts each time a button or a direction goes from not held to
// held; after a flush whatever was held counts as not held until it has been let go, as with
// keys.
#pragma once

enum PadButton : int {
    PAD_A,
    PAD_B,
    PAD_X,
    PAD_Y,
    PAD_BACK,
    PAD_START,
    PAD_UP, // the four directions: the d-pad or the left stick
    PAD_DOWN,
    PAD_LEFT,
    PAD_RIGHT,
    PAD_BUTTONS
};

// The stick's axes at which it counts as pushed: a quarter of the range.
constexpr int STICK_DEAD_ZONE = 8192;

// The direction the stick points: 0 in the dead zone, else 1 (up) to 8 (up-left), clockwise,
// each sector 45 degrees wide and centred on its direction. y grows downward, as SDL's does.
int StickDirection(int x, int y);

class PadState {
  public:
    // A button or d-pad direction as the pad reports it.
    void button(int button, bool down);
    // The left stick: axis 0 is x, 1 is y, each -32768..32767.
    void axis(int which, int value);
    // Everything held counts as up until let go; press counts are forgotten.
    void flush();

    int hits(int button); // returns and resets the press count
    int down(int button) const;
    int stickx() const { return stick_[0]; }
    int sticky() const { return stick_[1]; }

  private:
    // Works out what the game sees after a change, counting the presses.
    void settle();

    bool reported_[PAD_BUTTONS] = {}; // buttons and d-pad as the pad has them
    bool shown_[PAD_BUTTONS] = {};    // what the queries see
    bool blocked_[PAD_BUTTONS] = {};  // held at a flush, not let go since
    int presses_[PAD_BUTTONS] = {};
    int stick_[2] = {0, 0};
};
