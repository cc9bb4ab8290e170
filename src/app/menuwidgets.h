// The pieces every menu screen is built from: the layout unit, centred text, the title, a list
// of entries drawn grey with one highlighted in colour, the arrow-key handling and the end of
// a menu frame. All positions are given for a 1024-pixel-wide display and scaled by u.
#pragma once
#include "match/soundeffects.h"
#include "runtime/controls.h"
#include "runtime/sound.h"
#include <array>
#include <string>
#include <string_view>
#include <vector>

// One line of a menu: its text, its scale and y in units of u.
struct MenuLine {
    std::string text;
    float scale;
    float y;
};

// u = screen width / 1024: every menu position and text scale is multiplied by it.
float layoutunit(int screenwidth);
// Sets the drawing colour from a colour-table row, truncating each channel.
void setrowcolour(const float row[3]);
// The colour a highlighted entry is drawn in: the row truncated like setrowcolour, lifted so
// that its brightest channel is at least 150 (well above the grey 100 of the other entries) with
// its hue kept. Black becomes grey 150. The row itself is left to drift as it does.
std::array<int, 3> highlightcolour(const float row[3]);
// Draws text centred across the screen at the given scale and y, both already in pixels; a
// text too wide for the screen less 20 u at each side is drawn smaller, just fitting that.
void drawcentred(std::string_view text, float scale, float y, int screenwidth);
// The screen title at scale 0.7 u, y 30 u, in the colour of the given row.
void drawtitle(std::string_view text, const float row[3], int screenwidth);
// The entries in grey, the highlighted one (0-based) in the highlight colour of the row;
// the scale is reset to 1 afterwards.
void drawentries(const std::vector<MenuLine>& lines, int highlighted, const float row[3],
                 int screenwidth);
// The menus take the arrows, Enter, Space and Escape, player 1's own keys for the same (when
// bound to others), and every pad: d-pad or stick, A or Start to confirm, B to go back.
void usemenucontrols(const Controls& controls);
// The menus' own sounds: a tick when the highlight or a value moves, a confirm on Enter or
// Space. The pieces below play them themselves; volume 0-1.
struct MenuSounds {
    TSound tick, confirm;
    float volume = 0.5f;
    Tvoices voices;
};
// The sounds the menus play from now on (null: silent menus).
void usemenusounds(MenuSounds* sounds);

// Up and Down presses move the highlight over count entries, wrapping at both ends.
int movehighlight(int highlighted, int count);
// Right and Left presses: +step or -step (any number of presses since the last frame counts
// as one, like every menu key).
int adjustvalue(int value, int step);
int clampvalue(int value, int lo, int hi);
// Presents the frame at the display's pace and ends the program on a close request.
void presentframe();
// "WATCHING: 3": how many machines watch an online series, for its screens.
std::string watchingtext(int watching);
// A game played without drawing to catch up with the others: "CATCHING UP 63 %" over a bar
// filled as far, presented.
void drawcatchingup(long done, long all, int screenwidth);
// Enter or Space pressed since the last frame.
bool confirmpressed();
bool escapepressed();
