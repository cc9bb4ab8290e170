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

// Two or three people at one keyboard; no computer figures, so no ailevel.
struct Tmultisettings {
    int players = 2; // 2..3
    int playerspeed = 6;
    int ballsize = 5;
    int ballmass = 5;
    int gravity = 0;
    int arenanumber = 1;
};
