// Millisecs and Delay over SDL's clock, or over the virtual clock of scripted runs, which
// advances only when the game sleeps, so runs are fast and repeat exactly.
#include "runtime/clock.h"
#include "runtime/platform.h"

int Millisecs() {
    const PlatformContext& p = platform();
    // Both clocks wrap at 2^32; the game only subtracts readings.
    return static_cast<int>(p.options.virtualClock ? p.virtualMs : SDL_GetTicks());
}

void Delay(int ms) {
    PlatformContext& p = platform();
    if (ms <= 0) return;
    if (p.options.virtualClock)
        p.virtualMs += static_cast<unsigned>(ms);
    else
        SDL_Delay(static_cast<Uint32>(ms));
    if (p.insideFlip) return;
    p.pauseMs60 += 60L * ms;
    while (p.pauseMs60 >= 1000) {
        p.pauseMs60 -= 1000;
        AdvanceFrame();
    }
}
