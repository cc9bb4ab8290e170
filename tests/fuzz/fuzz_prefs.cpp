// libFuzzer target: any bytes as prefs.txt. Reading must never crash or ask the first-run
// question for a file that is there, must leave every option in the range the game expects,
// and what is then saved must read back as the same options.
#include "persist/prefs.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool inrange(const Prefs& p) {
    return p.resolution >= 1 && p.resolution <= 3 && p.fullscreen >= 0 && p.fullscreen <= 1 &&
           p.trail >= 0 && p.trail <= 2 && p.fireworks >= 0 && p.fireworks <= 1 &&
           p.musicvolume >= 0 && p.musicvolume <= 10 && p.unlockedlevel >= 1 &&
           p.unlockedlevel <= 36 && p.unlockedlevel % 5 == 1;
}

bool same(const Prefs& a, const Prefs& b) {
    return a.resolution == b.resolution && a.fullscreen == b.fullscreen && a.trail == b.trail &&
           a.fireworks == b.fireworks && a.musicvolume == b.musicvolume &&
           a.unlockedlevel == b.unlockedlevel;
}

Prefs read() {
    Prefs prefs;
    defaults(prefs);
    if (loadprefs(prefs, [] { return std::abort(), 0; }) != PrefsStart::Ready) std::abort();
    return prefs;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen("prefs.txt", "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    const Prefs first = read();
    if (!inrange(first)) std::abort();
    if (!saveprefs(first)) std::abort();
    if (!same(read(), first)) std::abort();
    return 0;
}
