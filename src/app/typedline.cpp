// A line typed in on its own screen: a host's address or a room code on the JOIN ONLINE GAME
// screen, the rendezvous server in OPTIONS. Letters, digits, '.', ':' and '-' only, at most 60
// of them (kept as typed, shown in capitals); Backspace takes one back.
#include "app/app.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/text.h"
#include <cctype>

bool Tapp::typeline(const std::string& label, std::string& text,
                    const std::vector<std::string>& hints) {
    FlushKeys();
    for (;;) {
        ClearScreen();
        animatecolours(GameRandom(), colours, colourspeeds, colourrows);
        drawtitle("VANTORIX", colours[1], screenwidth);
        const std::array<int, 3> lit = highlightcolour(colours[2]);
        SetDrawColor(lit[0], lit[1], lit[2]);
        drawcentred(label, 0.3f, 320, screenwidth);
        drawcentred(UpperCase(text) + "_", 0.3f, 400, screenwidth);
        SetDrawColor(100, 100, 100);
        float y = 520;
        for (const std::string& hint : hints) drawcentred(hint, 0.15f, y, screenwidth), y += 40;
        presentframe();
        for (int c = GetChar(); c != 0; c = GetChar()) {
            const bool allowed = std::isalnum(c) || c == '.' || c == ':' || c == '-';
            if ((c == KEY_BACKSPACE || c == 127) && !text.empty()) text.pop_back();
            if (allowed && text.size() < 60) text += char(std::tolower(c));
        }
        if (KeyHits(KEY_ESCAPE)) return false;
        if (KeyHits(KEY_ENTER)) return true;
    }
}
