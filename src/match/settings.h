// The settings records the menus edit and the custom and multiplayer set-ups read. Plain ints,
// kept inside their ranges by the menus; the set-ups still clamp what would break the game.
#pragma once

// Player against one to three computer figures.
struct Tcustomsettings {
    int players = 2;     // 2..4 figures, figure 1 is the player's
    int ailevel = 5;     // 0..15, higher is a quicker computer
    int playerspeed = 6; // 1..10, push per frame
    int ballsize = 5;    // 1..10, main-ball radius is 8 times this
    int ballmass = 5;    // 1..10
    int gravity = 0;     // 0..10, twentieths of a world unit per step
    int arenanumber = 1; // 1..15
};

// Two to four people at one keyboard and their pads; no computer figures, so no ailevel.
struct Tmultisettings {
    int players = 2; // 2..4 (4 needs a pad; the menu offers it only then)
    int playerspeed = 6;
    int ballsize = 5;
    int ballmass = 5;
    int gravity = 0;
    int arenanumber = 1;
};

// What a series can reach: a tally no series of real games comes near, and the score of all
// 40 levels won at once (each level gives level x 10000 and a time bonus of at most level x
// 20000). Replays carrying more are refused; the arithmetic stops there too.
inline constexpr int MOSTWINS = 1'000'000;
inline constexpr int MOSTSCORE = 30000 * (40 * 41 / 2);
inline int onemorewin(int wins) {
    return wins < MOSTWINS ? wins + 1 : wins;
}

// One adjustable setting of a settings record: its key on the command line ("--custom
// players=4"), its label on the menu (followed there by the value) and its range. The tables
// below list them in menu order; the command line, the menus and --help all read them.
template <class Settings> struct Tsettingfield {
    const char* key;
    const char* label;
    int Settings::*field;
    int lo, hi;
};

inline constexpr Tsettingfield<Tcustomsettings> customfields[] = {
    {"players", "NUMBER OF PLAYERS= ", &Tcustomsettings::players, 2, 4},
    {"speed", "PLAYERS SPEED= ", &Tcustomsettings::playerspeed, 1, 10},
    {"ai", "AI LEVEL= ", &Tcustomsettings::ailevel, 0, 15},
    {"size", "BALL SIZE= ", &Tcustomsettings::ballsize, 1, 10},
    {"mass", "BALL MASS= ", &Tcustomsettings::ballmass, 1, 10},
    {"gravity", "GRAVITY= ", &Tcustomsettings::gravity, 0, 10},
    {"arena", "ARENA= ", &Tcustomsettings::arenanumber, 1, 15},
};

inline constexpr Tsettingfield<Tmultisettings> multifields[] = {
    {"players", "NUMBER OF PLAYERS= ", &Tmultisettings::players, 2, 4},
    {"speed", "PLAYERS SPEED= ", &Tmultisettings::playerspeed, 1, 10},
    {"size", "BALL SIZE= ", &Tmultisettings::ballsize, 1, 10},
    {"mass", "BALL MASS= ", &Tmultisettings::ballmass, 1, 10},
    {"gravity", "GRAVITY= ", &Tmultisettings::gravity, 0, 10},
    {"arena", "ARENA= ", &Tmultisettings::arenanumber, 1, 15},
};
