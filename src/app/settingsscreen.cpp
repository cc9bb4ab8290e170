// The settings-screen loop shared by the custom, multiplayer, initial-level and options screens.
#include "app/settingsscreen.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"

std::string settingtext(const Setting& s) {
    if (!s.value) return s.label;
    int index = *s.value - s.lo;
    // A value read out of range is drawn as a number until the first clamp corrects it.
    if (index >= 0 && index < static_cast<int>(s.names.size())) return s.label + s.names[index];
    return s.label + std::to_string(*s.value);
}

namespace {

std::vector<MenuLine> lines(const SettingsScreen& screen) {
    std::vector<MenuLine> result;
    if (!screen.play.empty()) result.push_back({screen.play, screen.playscale, screen.playy});
    for (const Setting& s : screen.settings) result.push_back({settingtext(s), s.scale, s.y});
    return result;
}

void drawnotes(const std::vector<MenuLine>& notes, int screenwidth) {
    const float none[3] = {-1, -1, -1};
    drawentries(notes, -1, none, screenwidth);
}

} // namespace

MenuResult runsettings(SettingsScreen& screen, float colours[][3], float speeds[][3], int rows,
                       int screenwidth) {
    FlushKeys();
    const int first = screen.play.empty() ? 0 : 1; // index of the first setting line
    const int count = first + static_cast<int>(screen.settings.size());
    int highlighted = 0;
    for (;;) {
        if (screen.everyframe) screen.everyframe(screen);
        ClearScreen();
        animatecolours(GameRandom(), colours, speeds, rows);
        drawtitle("VANTORIX", colours[1], screenwidth);
        drawentries(lines(screen), highlighted, colours[2], screenwidth);
        drawnotes(screen.notes, screenwidth);
        presentframe();

        const Setting* current =
            highlighted >= first ? &screen.settings[highlighted - first] : nullptr;
        if (current && current->value)
            *current->value = adjustvalue(*current->value, current->step);
        for (const Setting& s : screen.settings) {
            if (s.value) *s.value = clampvalue(*s.value, s.lo, s.upper ? *s.upper : s.hi);
        }
        highlighted = movehighlight(highlighted, count);
        if (escapepressed()) return MenuResult::Back;
        if (confirmpressed()) {
            const Setting* chosen =
                highlighted >= first ? &screen.settings[highlighted - first] : nullptr;
            if (chosen && chosen->open) {
                chosen->open();
                FlushKeys();
            } else if (screen.confirmanywhere || highlighted == 0) {
                return screen.confirmanywhere ? MenuResult::Back : MenuResult::Play;
            }
        }
    }
}
