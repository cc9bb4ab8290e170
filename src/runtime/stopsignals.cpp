// Ending on SIGINT and SIGTERM; see runtime.h. The handler only notes the signal: ending the
// program from inside it could cut a save or a trace line in half.
#include "runtime/context.h"
#include "runtime/runtime.h"
#include <csignal>

namespace {

volatile std::sig_atomic_t stopsignal = 0;

extern "C" void notestop(int signal) {
    stopsignal = signal;
}

} // namespace

void CatchStopSignals() {
    // SDL's own handlers would only post a quit event, which a run without a window never
    // reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
#ifdef _WIN32
    // Ctrl+C in the console the game was started from.
    std::signal(SIGINT, notestop);
    std::signal(SIGTERM, notestop);
#else
    struct sigaction action {};
    action.sa_handler = notestop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

void EndIfStopped() {
    if (stopsignal != 0) EndProgram(128 + stopsignal);
}
