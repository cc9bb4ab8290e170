// Shared drawing and key handling of the menu screens.
#include "app/menuwidgets.h"
#include "match/routines.h"
#include "match/textfit.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/pads.h"
#include <algorithm>

namespace {
// Entries that are not highlighted are drawn in this grey on every menu.
constexpr int grey = 100;
// The highlighted entry is never darker than this in its brightest channel.
constexpr int brightest = 150;

Controls menucontrols = DefaultControls();
MenuSounds* menusounds = nullptr;

void playmenu(TSound MenuSounds::*sound) {
    if (menusounds) menusounds->voices.play(menusounds->*sound, menusounds->volume);
}

// Presses of the menu key, of player 1's own key for the action and of the pads' button. All
// three are asked, so none keeps a stale press for the next screen.
bool pressed(int key, int action, int button) {
    const Binding& own = menucontrols.of(1, action);
    int n = KeyHits(key);
    if (own.key != 0 && own.key != key) n += KeyHits(own.key);
    if (own.button >= 0 && own.button != button) n += PadHits(ANY_PAD, own.button);
    n += PadHits(ANY_PAD, button);
    return n != 0;
}
} // namespace

void usemenusounds(MenuSounds* sounds) {
    menusounds = sounds;
}

void usemenucontrols(const Controls& controls) {
    menucontrols = controls;
}

float layoutunit(int screenwidth) {
    return screenwidth / 1024.0f;
}

void setrowcolour(const float row[3]) {
    SetDrawColor(static_cast<int>(row[0]), static_cast<int>(row[1]), static_cast<int>(row[2]));
}

std::array<int, 3> highlightcolour(const float row[3]) {
    std::array<int, 3> c = {static_cast<int>(row[0]), static_cast<int>(row[1]),
                            static_cast<int>(row[2])};
    const int top = std::max({c[0], c[1], c[2]});
    if (top >= brightest) return c;
    if (top <= 0) return {brightest, brightest, brightest};
    // Every channel scaled by the same factor keeps the hue; the top one lands on 150 exactly.
    for (int& v : c) v = std::max(0, (v * brightest + top / 2) / top);
    return c;
}

void drawcentred(std::string_view text, float scale, float y, int screenwidth) {
    // 20 u clear of each side.
    scale = float(fittingscale(text, scale, screenwidth - 40 * layoutunit(screenwidth)));
    SetDrawScale(scale, scale);
    DrawText(text, (screenwidth - TextWidth(text) * scale) / 2, y);
}

void drawtitle(std::string_view text, const float row[3], int screenwidth) {
    float u = layoutunit(screenwidth);
    setrowcolour(row);
    drawcentred(text, 0.7f * u, 30 * u, screenwidth);
}

void drawentries(const std::vector<MenuLine>& lines, int highlighted, const float row[3],
                 int screenwidth) {
    float u = layoutunit(screenwidth);
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (i == highlighted) {
            const std::array<int, 3> c = highlightcolour(row);
            SetDrawColor(c[0], c[1], c[2]);
        } else {
            SetDrawColor(grey, grey, grey);
        }
        drawcentred(lines[i].text, lines[i].scale * u, lines[i].y * u, screenwidth);
    }
    SetDrawScale(1, 1);
}

int movehighlight(int highlighted, int count) {
    const int before = highlighted;
    if (pressed(KEY_UP, CONTROL_UP, PAD_UP))
        highlighted = highlighted == 0 ? count - 1 : highlighted - 1;
    if (pressed(KEY_DOWN, CONTROL_DOWN, PAD_DOWN))
        highlighted = highlighted == count - 1 ? 0 : highlighted + 1;
    if (highlighted != before) playmenu(&MenuSounds::tick);
    return highlighted;
}

int adjustvalue(int value, int step) {
    const bool right = pressed(KEY_RIGHT, CONTROL_RIGHT, PAD_RIGHT);
    const bool left = pressed(KEY_LEFT, CONTROL_LEFT, PAD_LEFT);
    if (right) value += step;
    if (left) value -= step;
    if (right || left) playmenu(&MenuSounds::tick);
    return value;
}

int clampvalue(int value, int lo, int hi) {
    return value < lo ? lo : value > hi ? hi : value;
}

void presentframe() {
    FlipFrame(-1);
    checkclose();
}

std::string watchingtext(int watching) {
    return "WATCHING: " + std::to_string(watching);
}

void drawcatchingup(long done, long all, int screenwidth) {
    const int percent = all > 0 ? int(std::min(done, all) * 100 / all) : 0;
    const float u = layoutunit(screenwidth), left = 212 * u, width = 600 * u;
    ClearScreen();
    SetDrawColor(200, 200, 200);
    drawcentred("CATCHING UP " + std::to_string(percent) + " %", 0.4f * u, 330 * u, screenwidth);
    SetDrawScale(1, 1);
    SetDrawColor(60, 60, 60);
    DrawRect(left, 420 * u, width, 24 * u);
    SetDrawColor(200, 200, 200);
    DrawRect(left, 420 * u, width * float(percent) / 100, 24 * u);
    SetDrawColor(100, 100, 100);
    drawcentred("ESCAPE: LEAVE", 0.2f * u, 500 * u, screenwidth);
    presentframe();
}

bool confirmpressed() {
    // Every key is read so none keeps a stale press for the next screen.
    bool enter = pressed(KEY_ENTER, CONTROL_CONFIRM, PAD_A);
    bool space = KeyHits(KEY_SPACE) != 0;
    bool start = PadHits(ANY_PAD, PAD_START) != 0;
    if (enter || space || start) playmenu(&MenuSounds::confirm);
    return enter || space || start;
}

bool escapepressed() {
    return pressed(KEY_ESCAPE, CONTROL_BACK, PAD_B);
}
