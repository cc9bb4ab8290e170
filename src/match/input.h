// What the players do in one frame of a match, as one record. An input source (the keyboard
// today; pads, a replay file or the network later) fills it once per frame, at the frame's
// pause check before anything is drawn or simulated, and the rules read only the record:
// recording a game is keeping these records, replaying it is handing them back.
#pragma once
#include <array>

class Tmatch;

// The steering of one figure: the four directions held, and whether a diagonal pushes by
// 0.707 on each axis (the arrow keys) or by the full speed (the letter sets).
struct FigureInput {
    bool left = false, right = false, up = false, down = false;
    bool diagonal = false;

    bool operator==(const FigureInput&) const = default;
};

struct MatchInput {
    std::array<FigureInput, 4> figures{}; // figure k at k - 1; only human figures read theirs
    bool pause = false;                   // P pressed: the game paused at this frame's start
    bool fillbar1 = false; // the try-out shortcut 1+4 held: figure 1's bar past the goal
    bool fillbar2 = false; // 1+5: figure 2's
    bool enter = false;    // held, for the result screens
    bool space = false;
    int typed = 0;      // the next character typed on the game-over screen, 0 for none
    int pick = 0;       // a pad's up (+1) and down (-1) presses there: the letter being picked
    bool next = false;  // a pad's right there: on to the next letter
    bool leave = false; // Escape held at the end of the frame: the game is left
    // Milliseconds from the game's start to the frame's read: a level won in the frame earns
    // its time bonus from it, so the clock is an input like the keys (a replay gives back the
    // recorded win's time). Not part of a record kept in a replay or sent to another machine.
    int clock = 0;

    bool operator==(const MatchInput&) const = default;
};

class InputSource {
  public:
    virtual ~InputSource() = default;
    // The record of the frame about to be played. When it says pause on a screen that pauses
    // (Tmatch::pausable), the source has already waited for the game to go on.
    virtual MatchInput read(const Tmatch& match) = 0;
    // Asked once the frame has been shown: Escape held (sets leave in the frame's record).
    virtual bool leaving(const Tmatch& match) = 0;
    // The result screens forget every key held and every press so far; a key still held
    // counts again only once pressed anew.
    virtual void flush() = 0;
    // Presses left over from the play are dropped so that the next screen does not see them.
    virtual void discardpresses() = 0;
    // The figure has just taken the main ball (a pad may rumble in its player's hands).
    virtual void took(const Tmatch&, int) {}
    // The figure's player has lost the pad they played with.
    virtual bool padlost(const Tmatch&, int) const { return false; }
};

// Milliseconds of the clock since the match started: what a live source reads into clock.
int sincestart(const Tmatch& match);
