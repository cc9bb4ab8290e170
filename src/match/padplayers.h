// Which player each pad plays for in a game of several people. Pads are given out in the
// order they are plugged in, to players 2, 3 and 4 first (player 1 has the arrow keys) and
// then to player 1. A pad unplugged leaves its player without one (the figure stands still)
// until that pad comes back or another one is plugged in and takes its place.
#pragma once
#include <string>
#include <vector>

class PadPlayers {
  public:
    // One pad as seen now.
    struct Seen {
        int pad;
        bool plugged;
        std::string identity;
    };

    // Catches up with the pads: those gone leave their players lost, those new since the last
    // call take a player (the one their pad had, when it comes back, else the first without
    // a pad). Returns the pads just given a player, with that player.
    std::vector<std::pair<int, int>> update(const std::vector<Seen>& pads);
    // The same from the runtime's pads, telling each new pad its player.
    void update();
    // The player's pad number, 0 for none.
    int padof(int player) const;
    // The player's pad was unplugged and none has taken its place.
    bool lost(int player) const;

  private:
    struct Slot {
        int pad = 0;
        bool lost = false;
        std::string identity; // of the pad it has or had
    };
    Slot slots_[5];  // players 1..4
    int placed_ = 0; // pads up to this number have been seen
};
