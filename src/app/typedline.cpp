// A line typed in on its own screen: a host's address or a room code on the JOIN ONLINE GAME
// screen, the rendezvous server in OPTIONS. Letters, digits, '.', ':' and '-' only, at most 60
// of them (kept as typed, shown in capitals); Backspace takes one back. Below it, choices that
// may change from frame to frame (the games found on the local network): Up and Down move
// between the typed line and them.
#include "app/app.h"
#include "effects/colourdrift.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/text.h"
#include <cctype>

int Tapp::typeline(const std::string& label, std::string& text,
                   const std::vector<std::string>& hints,
                   const std::function<std::vector<std::string>()>& choices,
                   const std::string& heading) {
    FlushKeys();
    int chosen = TYPED;
    for (;;) {
        const std::vector<std::string> listed = choices ? choices() : std::vector<std::string>{};
        chosen = std::min(chosen, int(listed.size()) - 1);
        ClearScreen();
        animatecolours(GameRandom(), colours, colourspeeds, colourrows);
        drawtitle("VANTORIX", colours[1], screenwidth);
        const std::array<int, 3> lit = highlightcolour(colours[2]);
        SetDrawColor(lit[0], lit[1], lit[2]);
        drawcentred(label, 0.3f, 260, screenwidth);
        if (chosen != TYPED) SetDrawColor(100, 100, 100);
        drawcentred(UpperCase(text) + (chosen == TYPED ? "_" : ""), 0.3f, 330, screenwidth);
        SetDrawColor(100, 100, 100);
        if (!listed.empty()) drawcentred(heading, 0.15f, 400, screenwidth);
        for (int i = 0; i < int(listed.size()); ++i) {
            i == chosen ? SetDrawColor(lit[0], lit[1], lit[2]) : SetDrawColor(100, 100, 100);
            drawcentred(listed[size_t(i)], 0.2f, 440 + 40 * float(i), screenwidth);
        }
        SetDrawColor(100, 100, 100);
        float y = 640;
        for (const std::string& hint : hints) drawcentred(hint, 0.15f, y, screenwidth), y += 40;
        presentframe();
        for (int c = GetChar(); c != 0; c = GetChar()) {
            const bool allowed = std::isalnum(c) || c == '.' || c == ':' || c == '-';
            if ((c == KEY_BACKSPACE || c == 127) && !text.empty()) text.pop_back();
            if (allowed && text.size() < 60) text += char(std::tolower(c));
        }
        if (KeyHits(KEY_DOWN)) chosen = std::min(chosen + 1, int(listed.size()) - 1);
        if (KeyHits(KEY_UP)) chosen = std::max(chosen - 1, int(TYPED));
        if (KeyHits(KEY_ESCAPE)) return LEFT;
        if (KeyHits(KEY_ENTER)) return chosen;
    }
}
