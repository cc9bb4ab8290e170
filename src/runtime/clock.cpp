// Millisecs and Delay over the chosen clock: SDL's, or the virtual clock of scripted runs,
// which advances only when the game sleeps, so runs are fast and repeat exactly.
#include "runtime/clock.h"
#include "runtime/context.h"
#ifdef __EMSCRIPTEN__
#include "runtime/browser_web.h"
#endif

namespace {

unsigned livenow() {
    return SDL_GetTicks();
}
void livesleep(int ms) {
    SDL_Delay(static_cast<Uint32>(ms));
}
unsigned virtualnow() {
    return rt().platform.virtualMs;
}
void virtualsleep(int ms) {
    rt().platform.virtualMs += static_cast<unsigned>(ms);
}

} // namespace

const ClockBackend liveclock = {"live", livenow, livesleep, true};
const ClockBackend virtualclock = {"virtual", virtualnow, virtualsleep, false};

int Millisecs() {
    // Both clocks wrap at 2^32; the game only subtracts readings.
    return static_cast<int>(rt().platform.clock->now());
}

void Delay(int ms) {
    Platform& p = rt().platform;
    if (ms <= 0) return;
#ifdef __EMSCRIPTEN__
    // The page's wait, called directly, not through the clock's pointer, so that every caller
    // of Delay is ready for it (browser_web.h). (SDL_Delay would not wait in a page: see
    // InitRuntime.)
    if (p.clock->real) {
        YieldToBrowser(ms);
    } else {
        p.clock->sleep(ms);
    }
#else
    p.clock->sleep(ms);
#endif
    if (p.insideFlip) return;
    p.pauseMs60 += 60L * ms;
    while (p.pauseMs60 >= 1000) {
        p.pauseMs60 -= 1000;
        AdvanceFrame();
    }
}
