// The contested ball of a match: a ball with an owner, a motion history and a colour.
#pragma once
#include "physics/ball.h"
#include "physics/constants.h"
#include "physics/teamcolours.h"
#include <array>

// What of a main ball changes during a game, besides its ball.
struct Tmainballstate {
    int idle = 0;  // steps since a figure last touched it
    int owner = 0; // team that touched it last; 0 = nobody yet
    // x, y, vx, vy over the last steps, index 0 newest.
    std::array<double, HISTORY> histx{}, histy{}, histvx{}, histvy{};
    std::array<float, 3> colour{}; // red, green, blue of its owner (also the trail's colour)

    bool operator==(const Tmainballstate&) const = default;
};

class Tmainball : public Tball, public Tmainballstate {
  public:
    using Tball::Tball;
    const Teampalette* palette = &standardpalette; // the owners' colours

    void record();
    // Takes the colour of its owner, as the owner's team is seen in the palette.
    void paint();
    // Drawn in its colour, turned so that its pattern shows it rolling.
    void draw(const Camera& cam) const override;
};
