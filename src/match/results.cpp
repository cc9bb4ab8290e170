// The end of a game: the scoring of a won level and the three result screens drawn over the
// still running play (level completed, win tally, game over with the name entry).
#include "match/results.h"
#include "match/match.h"
#include "match/textfit.h"
#include "physics/man.h"
#include "runtime/clock.h"
#include "runtime/keyboard.h"
#include "runtime/text.h"
#include <algorithm>
#include <climits>
#include <string_view>

namespace {
// The level-completed screen counts the level score and bonus into the total between these
// frames.
constexpr int countstart = 160;
constexpr int countend = 240;

// Every centred text keeps this many units clear of both screen edges: a long name is drawn
// smaller instead.
constexpr double sidemargin = 20;

// The scale of text s u, or the largest smaller one that fits between the margins.
double fitted(const std::string& text, double s, double u, int sw) {
    return fittingscale(text, s * u, sw - 2 * sidemargin * u);
}

// Text at scale s u, centred across the screen at y u.
void drawcentred(const std::string& text, double s, double y, double u, int sw) {
    const double scale = fitted(text, s, u, sw);
    SetDrawScale(float(scale), float(scale));
    DrawText(text, float((sw - TextWidth(text) * scale) / 2), float(y * u));
}

// Like drawcentred, with the scaled width truncated to whole pixels first.
void drawcentredwhole(const std::string& text, double s, double y, double u, int sw) {
    const double scale = fitted(text, s, u, sw);
    SetDrawScale(float(scale), float(scale));
    DrawText(text, float((sw - FloatToInt(TextWidth(text) * scale)) / 2.0), float(y * u));
}

void drawcontinue(double u, int sw) {
    const std::string text = "PRESS ENTER TO CONTINUE";
    SetDrawScale(float(0.4 * u), float(0.4 * u));
    DrawText(text, float(sw / 2.0 - TextWidth(text) * 0.4 * u / 2), float(640 * u));
}

void setcolour(const float c[3]) {
    SetDrawColor(FloatToInt(c[0]), FloatToInt(c[1]), FloatToInt(c[2]));
}
} // namespace

std::string keychar(int code) {
    return NameCharacter(code) ? std::string(1, char(code)) : "nope";
}

// Unsigned difference: the clock may wrap between the start and the win.
int sincestart(const Tmatch& match) {
    return int(unsigned(Millisecs()) - unsigned(match.starttime));
}

void Tmatch::scorelevel() {
    levelscore = level * 10000;
    levelclock = input.clock;
    const double s = levelclock / 1000.0;
    // The bonus falls from level x 20000 to nothing over 30 seconds per figure; it is worked
    // out in single precision.
    const float figures = float(30 * mancount);
    const float remaining = float(float(level) * (figures - s));
    const float bonus = remaining * 20000 / figures;
    timebonus = FloatToInt(std::max(0.0f, bonus));
    // A carried score from elsewhere (a replay, say) stops at the largest int.
    score = int(std::min<long long>(INT_MAX, (long long)startscore + levelscore + timebonus));
}

void Tmatch::drawlevelcompleted(int frames) const {
    const int t = frames + 1;
    const double u = screenwidth / 1024.0;
    // Shown values: the parts before the count, the total after it, and in between the parts
    // count down into the total. Worked in doubles, so a large carried score cannot overflow.
    double shownlevel = levelscore, shownbonus = timebonus, showntotal = startscore;
    if (t > countend) {
        shownlevel = shownbonus = 0, showntotal = score;
    } else if (t >= countstart) {
        const double left = countend - t, done = t - countstart;
        shownlevel = FloatToInt(levelscore * left / 80);
        shownbonus = FloatToInt(timebonus * left / 80);
        showntotal = FloatToInt(startscore * left / 80 + score * done / 80);
    }
    setcolour(colours[0]);
    if (t > 0)
        drawcentredwhole("LEVEL " + std::to_string(level) + " COMPLETED", 0.7, 50, u, screenwidth);
    SetDrawScale(float(0.5 * u), float(0.5 * u));
    const float labelx = float(FloatToInt(100 * u));
    const float valuex = float(FloatToInt(screenwidth - 300 * u));
    const struct {
        const char* label;
        double value;
        double y;
    } lines[3] = {{"LEVEL SCORE: ", shownlevel, 240},
                  {"TIME BONUS: ", shownbonus, 340},
                  {"TOTAL SCORE: ", showntotal, 440}};
    // The lines appear one after the other: a label, then its value, every 20 frames.
    for (int i = 0; i < 3; ++i) {
        if (t > 40 + 40 * i) DrawText(lines[i].label, labelx, float(lines[i].y * u));
        if (t > 60 + 40 * i)
            DrawText(std::to_string(FloatToInt(lines[i].value)), valuex, float(lines[i].y * u));
    }
    if (t > countend) drawcontinue(u, screenwidth);
    SetDrawScale(1, 1);
}

void Tmatch::drawwinner(int frames) const {
    const double u = screenwidth / 1024.0;
    setcolour(textcolour);
    // The series tally, this game's win included.
    std::string tally = std::to_string(man(1).wins) + " - " + std::to_string(man(2).wins);
    for (int k = 3; k <= std::min(mancount, 4); ++k) tally += " - " + std::to_string(man(k).wins);
    if (frames > 0) drawcentredwhole(tally, 0.7, 50, u, screenwidth);
    if (frames > 100) drawcontinue(u, screenwidth);
    SetDrawScale(1, 1);
}

// With only a pad, up and down run through the letters at the cursor and right takes the
// letter and moves on; the letter being picked is part of the name already.
void Tmatch::pickletter() {
    const int letters = static_cast<int>(pickable.size());
    if (input.pick != 0 && namecursor <= NAME_LENGTH) {
        // From no letter, up starts at A and down at the end of the list.
        const int from = picked > 0 ? picked - 1 : (input.pick > 0 ? -1 : 0);
        picked = ((from + input.pick) % letters + letters) % letters + 1;
    }
    if (input.next && picked > 0) {
        namechars[namecursor] = std::string(1, pickable[picked - 1]);
        namecursor += 1;
        picked = 0;
    }
}

void Tmatch::entername(int frames) {
    // Keys still held from the play are forgotten.
    if (frames <= 2) flushinput();
    // One typed character per frame at most.
    const int c = input.typed;
    if (c == KEY_BACKSPACE || c == 127) {
        if (namecursor > 1) namecursor -= 1;
        picked = 0;
    } else if (namecursor <= NAME_LENGTH && keychar(c) != "nope") {
        namechars[namecursor] = keychar(c);
        namecursor += 1;
        picked = 0;
    }
    pickletter();
    std::string typed;
    for (int i = 1; i < namecursor; ++i) typed += namechars[i];
    if (picked > 0) typed += pickable[picked - 1];
    name = UpperCase(typed);
}

void Tmatch::drawresults() const {
    if (screens.levelcompleted >= 0) drawlevelcompleted(screens.levelcompleted);
    if (screens.tally >= 0) drawwinner(screens.tally);
    if (screens.gameover >= 0) drawgameover(screens.gameover);
}

void Tmatch::drawgameover(int frames) const {
    const double u = screenwidth / 1024.0;
    setcolour(colours[0]);
    if (frames > 0) drawcentred("GAME OVER", 1.3, 20, u, screenwidth);
    if (frames > 60) drawcentred("SCORE: " + std::to_string(score), 0.8, 200, u, screenwidth);
    const bool offered = score > 0 && score > entrythreshold;
    if (offered && frames > 120) {
        drawcentred("ENTER YOUR NAME:", 0.4, 450, u, screenwidth);
        drawcentred(name, 0.8, 542, u, screenwidth);
    }
    SetDrawScale(1, 1);
}
