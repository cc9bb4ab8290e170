// The high-score screen: the table builds up from the top, one line every five frames, with the
// places right-aligned in a column from x = 270 u so that every colon stands at the same x, and
// the scores right-aligned at the screen width less 270 u. The column is as wide as the widest
// place number's glyph advances, whatever the font. A name too long for the room before its
// score (fifteen wide letters) is drawn smaller, centred on its line, 20 u clear of the score. The
// list is shown in its own order; only adding a score sorts it.
#include "app/app.h"
#include "app/menuwidgets.h"
#include "effects/colourdrift.h"
#include "match/textfit.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include <algorithm>

void Tapp::showscores() {
    FlushKeys();
    const float u = layoutunit(screenwidth);
    int f = 0;
    for (;;) {
        ClearScreen();
        animatecolours(GameRandom(), colours, colourspeeds, colourrows);
        ++f;
        setrowcolour(colours[1]);
        drawcentred("HIGH SCORES", 0.7f * u, 30 * u, screenwidth);
        setrowcolour(colours[2]);
        const float scale = 0.2f * u;
        SetDrawScale(scale, scale);
        int widest = 0;
        for (int n = 1; n <= scores->count(); ++n)
            widest = std::max(widest, TextWidth(std::to_string(n)));
        const float colon = 270 * u + widest * scale;
        float y = 100 * u;
        int n = 0;
        for (const auto& entry : *scores) {
            ++n;
            if (f <= 5 * n) continue;
            y += 30 * u;
            const std::string place = std::to_string(n);
            DrawText(place, colon - TextWidth(place) * scale, y);
            const std::string points = std::to_string(entry->score);
            const float pointsx = screenwidth - 270 * u - TextWidth(points) * scale;
            const std::string name = ": " + entry->name;
            const float fit = float(fittingscale(name, scale, pointsx - 20 * u - colon));
            SetDrawScale(fit, fit);
            DrawText(name, colon, y + TextHeight() * (scale - fit) / 2);
            SetDrawScale(scale, scale);
            DrawText(points, pointsx, y);
        }
        SetDrawScale(1, 1);
        presentframe();
        // Both are asked every frame, so a press of either is used up here.
        const bool escape = escapepressed();
        const bool confirm = confirmpressed();
        if (escape || confirm) return;
    }
}
