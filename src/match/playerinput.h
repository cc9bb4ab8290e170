// The players' own devices as the match's input source: the keyboard, with every player's
// bound keys, and the pads. In a game of several people each pad steers the player it was
// given (padplayers.h); in a game against the computer every pad steers figure 1. Any pad's
// Start pauses, A confirms and B goes back, like P, Enter and Escape.
#pragma once
#include "match/input.h"
#include "match/padplayers.h"
#include "runtime/controls.h"

class PlayerInput : public InputSource {
  public:
    MatchInput read(const Tmatch& match) override;
    bool leaving(const Tmatch& match) override;
    void flush() override;
    void discardpresses() override;
    void took(const Tmatch& match, int figure) override;
    bool padlost(const Tmatch& match, int figure) const override;

    // The pads that steer the figure in this match (pad numbers).
    std::vector<int> padsof(const Tmatch& match, int figure) const;

    Controls controls = DefaultControls();
    // A P press waits in read until the game goes on; online games only note it.
    bool pausewaits = true;
    PadPlayers pads;
};

// The source a match reads unless its driver gives it another: default keys, the pads.
PlayerInput& defaultinput();
