// A player or computer figure: a ragdoll object with a team, a steering strength and the
// history of its centre and mean velocity. Its steering (keys and computer) lives in the match.
#pragma once
#include "physics/constants.h"
#include "physics/ragobject.h"
#include "physics/teamcolours.h"
#include <array>

// What of a figure changes during a game, besides its balls.
struct Tmanstate {
    int wins = 0;
    int direction = 0; // last computer steering direction: 1 up, clockwise to 8 up-left
    int target = 0;    // index of the main ball a computer figure chases
    float bar = 0;
    // centrex, centrey, meanvx, meanvy over the last steps, index 0 newest.
    std::array<double, HISTORY> histx{}, histy{}, histvx{}, histvy{};

    bool operator==(const Tmanstate&) const = default;
};

class Tman : public ragobject, public Tmanstate {
  public:
    float speed = 0; // push added to the first ball's velocity per key or decision
    int aidelay = 0; // age in steps of the positions a computer figure reacts to
    int team = 0;
    int dimmed = 0; // 1: neutral parts drawn dark grey (computer figures)
    const Teampalette* palette = &standardpalette; // colours of the team's parts

    void record();
    // Neutral parts first, then the team-coloured parts on top.
    void draw(const Camera& cam) const override;
};
