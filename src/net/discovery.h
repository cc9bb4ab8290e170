// The games hosted on this local network, as a machine looking for one finds them: every
// second it broadcasts a Discover to the game's port and the next three (on every network it
// is on), and every hosting machine there answers Here with its name and players. A game that
// has not answered for three seconds is forgotten.
#pragma once
#include "net/rendezvous.h"
#include <string>
#include <vector>

struct LocalGame {
    Endpoint at;
    std::string name;
    int present = 0, wanted = 0;
    int ping = 0;        // ms from the broadcast to the answer
    long long heard = 0; // when it last answered
};

inline constexpr int LOCALGAMES = 8; // listed at most

class Discovery {
  public:
    // Looks for games hosted on the port and the three after it.
    explicit Discovery(int port);
    ~Discovery();
    Discovery(const Discovery&) = delete;
    Discovery& operator=(const Discovery&) = delete;

    // Broadcasts again when a second has passed and takes the answers, waiting up to ms for
    // the first: every frame (so a scripted run's frames, which take no time, still give the
    // network a moment).
    void look(long long now, int ms);
    const std::vector<LocalGame>& games() const { return games_; }

  private:
    struct Impl;
    Impl* impl_;
    std::vector<LocalGame> games_;
};
