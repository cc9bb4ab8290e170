// The colours that tell the four teams apart: a team's bar at the top of the screen, the
// coloured parts of its figure and the main ball while the team owns it (the ball's trail takes
// the ball's colour). Two palettes: the game's standard red, blue, green and yellow, whose green
// and yellow all but merge for players without red or green cones, and one that stays apart for
// every common colour-vision deficiency.
// Plain data, handed to every figure and main ball by the match.
#pragma once

struct Teamrgb {
    int r, g, b;
    bool operator==(const Teamrgb&) const = default;
};

struct Teampalette {
    Teamrgb bar[4];    // the colour bars, team 1 to 4
    Teamrgb figure[4]; // the team-coloured balls and links of a figure
    Teamrgb ball[4];   // the main ball owned by the team, and so its trail
};

// Full-strength bars, figures a little darker, the owned main ball lightened towards grey 130
// so it stands out from the figures that chase it.
inline constexpr Teampalette standardpalette = {
    {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 0}},
    {{200, 0, 0}, {0, 0, 200}, {0, 200, 0}, {200, 200, 0}},
    {{255, 130, 130}, {130, 130, 255}, {130, 255, 130}, {255, 255, 130}},
};

// Vermillion, blue, a lighter bluish green and yellow (after Okabe and Ito). They stay apart
// under protanopia, deuteranopia and tritanopia, so they are used unchanged everywhere: no
// darker or lighter shade for figures and ball that could bring two teams closer together.
inline constexpr Teamrgb safeteams[4] = {
    {213, 94, 0}, {0, 114, 178}, {0, 200, 150}, {240, 228, 66}};
inline constexpr Teampalette safepalette = {
    {safeteams[0], safeteams[1], safeteams[2], safeteams[3]},
    {safeteams[0], safeteams[1], safeteams[2], safeteams[3]},
    {safeteams[0], safeteams[1], safeteams[2], safeteams[3]},
};

// The palette of the TEAM COLOURS option: 1 the colour-blind safe one, anything else standard.
inline const Teampalette& teampalette(int choice) {
    return choice == 1 ? safepalette : standardpalette;
}
