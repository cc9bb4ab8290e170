// The game's side of the page's services (web/page.js); see browser_web.h.
#include "runtime/browser_web.h"
#include <cstring>
#include <emscripten.h>
#include <emscripten/html5.h>

// ASYNCIFY unwinds the game's stack here and rewinds it when the promise resolves. (The
// script inside is JavaScript, which the C++ formatter would break.)
// clang-format off
EM_ASYNC_JS(void, waitforanimationframe, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});
// clang-format on

void WaitForBrowserFrame() {
    waitforanimationframe();
}

void YieldToBrowser(int ms) {
    emscripten_sleep(static_cast<unsigned>(ms));
}

void KeepSaves() {
    EM_ASM({
        if (Module.keepSaves) Module.keepSaves();
    });
}

EM_JS(int, browserconfirm, (const char* text), { return confirm(UTF8ToString(text)) ? 1 : 0; });
EM_JS(void, browseralert, (const char* text), { alert(UTF8ToString(text)); });

bool BrowserConfirm(const char* text) {
    return browserconfirm(text) != 0;
}

void BrowserAlert(const char* text) {
    browseralert(text);
}

bool StandardBrowserPad(const char* name) {
    if (!name) return false;
    emscripten_sample_gamepad_data();
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count; ++i) {
        EmscriptenGamepadEvent pad;
        if (emscripten_get_gamepad_status(i, &pad) != EMSCRIPTEN_RESULT_SUCCESS) continue;
        if (std::strcmp(pad.id, name) == 0) return std::strcmp(pad.mapping, "standard") == 0;
    }
    return false;
}
