// The campaign's level table and the arena table. Both are data of the game's design: the
// levels follow a rule (five fixed openers, then a repeating pattern of five that gets quicker
// every five levels, with the arenas shuffled from level 11 on); the arenas are stadiums of
// straight length w and width h, with fixed obstacle balls.
#pragma once
#include <vector>

// The campaign's levels run from 1 to this; winning it ends the campaign.
inline constexpr int LASTLEVEL = 40;
// A bar wins once it is greater than this.
inline constexpr float GOAL = 1800;
// Figures in contact for this many frames in a row are kicked apart (Tmatch::collidefigures).
inline constexpr int STUCKFRAMES = 159;

struct Tlevelrow {
    int mancount = 2;
    int aidelay = 0;
    int arena = 1;
    bool big = false; // figure 2 is built at double size
};

// The row of level 1..40 (later levels continue the pattern with their own arenas).
Tlevelrow levelrow(int level);

struct Tobstacle {
    double x, y, radius;
};

struct Tarenaplan {
    double w = 5000, h = 2500;
    std::vector<Tobstacle> obstacles;
};

// Arena 1..15; any other number gives the plain default stadium.
Tarenaplan arenaplan(int number);
