// Reading and writing "prefs.txt": six decimal lines, read once at start-up before the display
// opens (they choose the screen mode) and written on the first run, on leaving the options
// screen and when the levels campaign unlocks a starting level.
#include "persist/prefs.h"

#include "persist/savefile.h"
#include "runtime/dialog.h"
#include "runtime/stream.h"
#include "runtime/text.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

const char* const prefsfile = "prefs.txt";

// The fields in file order: this order is the file format.
template <class P> auto fileorder(P& p) -> std::array<decltype(&p.resolution), 6> {
    return {&p.resolution, &p.fullscreen, &p.trail, &p.fireworks, &p.musicvolume, &p.unlockedlevel};
}

// The nearest level that can be unlocked: 1, 6, 11, ..., 36.
int nearestunlock(int level) {
    if (level <= 1) return 1;
    if (level >= LASTUNLOCK) return LASTUNLOCK;
    // level - 1 rounded to the nearest multiple of the step
    return (level - 1 + UNLOCKSTEP / 2) / UNLOCKSTEP * UNLOCKSTEP + 1;
}

// A hand-edited file may hold anything. Screen mode values the display cannot open fall back
// to a 1024 x 768 window; the other fields are brought to their nearest valid value so that no
// screen, match or music channel ever sees a value it was not built for.
void keepinrange(Prefs& p) {
    if (p.fullscreen > 1 || p.fullscreen < 0) p.fullscreen = 0;
    if (p.resolution > 3 || p.resolution < 1) p.resolution = 3;
    p.trail = std::clamp(p.trail, 0, 2);
    p.fireworks = std::clamp(p.fireworks, 0, 1);
    p.musicvolume = std::clamp(p.musicvolume, 0, 10);
    p.unlockedlevel = nearestunlock(p.unlockedlevel);
}

} // namespace

void defaults(Prefs& prefs) {
    const int fullscreen = prefs.fullscreen;
    prefs = Prefs{};
    prefs.fullscreen = fullscreen;
}

int askfullscreen() {
    return AskYesNoCancel("Play Fullscreen?", 0);
}

PrefsStart loadprefs(Prefs& prefs, const std::function<int()>& ask) {
    SaveFound found;
    Stream in = opensave(prefsfile, found);
    if (found == SaveFound::Unreadable) {
        keepinrange(prefs);
        return PrefsStart::Unreadable;
    }
    if (found == SaveFound::Missing) {
        // First run: the answer decides the display, and the file is created right away so the
        // question is not asked again.
        const int answer = ask();
        if (answer < 0) return PrefsStart::Quit;
        prefs.fullscreen = answer == 1 ? 1 : 0;
        saveprefs(prefs);
    } else {
        const Prefs before = prefs;
        for (int* field : fileorder(prefs)) {
            if (AtEnd(*in)) break;
            *field = TextToInt(ReadLine(*in));
        }
        const bool broken = ReadFailed(*in);
        CloseStream(in);
        if (broken) {
            // Half a file is no file: the defaults, and the player's file stays untouched.
            prefs = before;
            reportunreadable(prefsfile, READ_BROKE_OFF);
            keepinrange(prefs);
            return PrefsStart::Unreadable;
        }
    }
    keepinrange(prefs);
    return PrefsStart::Ready;
}

bool saveprefs(const Prefs& prefs) {
    std::vector<std::string> lines;
    for (const int* field : fileorder(prefs)) lines.push_back(std::to_string(*field));
    return savelines(prefsfile, lines);
}
