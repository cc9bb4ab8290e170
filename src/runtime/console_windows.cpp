// The console a Windows GUI program was started from; see runtime.h.
#include "runtime/runtime.h"
#include <cstdio>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void UseParentConsole() {
    // Output already going somewhere (a file, a pipe, a terminal under Wine) stays there.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}
