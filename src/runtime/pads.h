// Game pads, through SDL's game controllers: SDL's own mapping database, plus the player's
// gamecontrollerdb.txt in the game folder when there is one. Pads may be plugged in and out at
// any moment. They are numbered from 1 in the order they are plugged in during the run; a pad
// keeps its number while it stays plugged in, and one plugged in again gets a new number (its
// identity tells that it is the same pad). Scripted runs ignore real pads and use the ones
// their script attaches (SDL's virtual controllers), which behave exactly like real ones.
// Every query first delivers pending events, like the keyboard's.
#pragma once
#include "runtime/pad_state.h"
#include <string>

constexpr int MAX_PADS = 16; // pad numbers 1..MAX_PADS in one run
constexpr int ANY_PAD = 0;   // for PadHits and PadDown: whichever pad

// The highest pad number handed out so far.
int PadCount();
bool PadPlugged(int pad);
// The name SDL knows the pad by (or the name the script gave it).
std::string PadName(int pad);
// What tells one pad from another across unplugging: its GUID, and serial where it has one.
std::string PadIdentity(int pad);
// Presses of the button or direction since the last call for it, then 0 (like KeyHits); with
// ANY_PAD the presses of every pad.
int PadHits(int pad, int button);
// 1 while held (any pad with ANY_PAD).
int PadDown(int pad, int button);
// The left stick, -32768..32767 on each axis, y downward.
int PadStickX(int pad);
int PadStickY(int pad);
// A short rumble, on pads that can; false when the pad cannot.
bool PadRumble(int pad, int ms);
// Tells the pad which player it plays for (1..4): its player lights, and its light bar in the
// player's bar colour, where it has them.
void PadSetPlayer(int pad, int player);
