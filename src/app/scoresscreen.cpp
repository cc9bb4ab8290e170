// The high-score screen: the table builds up from the top, one line every five frames, with the
// colons of one- and two-digit places lined up and the scores right-aligned. The list is shown
// in its own order; only adding a score sorts it.
#include "app/app.h"
#include "app/menuwidgets.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"

void Tapp::showscores() {
    FlushKeys();
    const float u = layoutunit(screenwidth);
    int f = 0;
    for (;;) {
        ClearScreen();
        animatecolours(colours, colourspeeds, colourrows);
        ++f;
        setrowcolour(colours[1]);
        drawcentred("HIGH SCORES", 0.7f * u, 30 * u, screenwidth);
        setrowcolour(colours[2]);
        SetDrawScale(0.2f * u, 0.2f * u);
        float y = 100 * u;
        int n = 0;
        for (const auto& entry : *scores) {
            ++n;
            if (f <= 5 * n) continue;
            y += 30 * u;
            DrawText(std::to_string(n) + (n < 10 ? " " : "") + ": " + entry->name, 270 * u, y);
            const std::string points = std::to_string(entry->score);
            DrawText(points, screenwidth - 270 * u - TextWidth(points) * 0.2f * u, y);
        }
        SetDrawScale(1, 1);
        presentframe();
        // Both are asked every frame, so a press of either is used up here.
        const bool escape = escapepressed();
        const bool confirm = confirmpressed();
        if (escape || confirm) return;
    }
}
