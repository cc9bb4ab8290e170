// SDL events -> keyboard state. Keys arrive as Windows virtual-key codes; typed characters
// come from text input (so shift and the keyboard layout apply), plus the keys that type a
// control character, which text input does not report: Backspace 8, Tab 9, Enter 13,
// Escape 27 and Delete 127 (the name entry reads 8 and 127 as deleting a character).
#include "runtime/audio_device.h"
#include "runtime/context.h"
#include "runtime/keyboard.h"
#include "runtime/keymap.h"

namespace {

// Text input is UTF-8; characters above 255 have no place in the game's 8-bit text.
void TypeText(const char* text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s) {
        unsigned code = *s;
        int extra = code < 0x80 ? 0 : code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
        if (extra) code &= 0x3F >> extra;
        ++s;
        for (int i = 0; i < extra && (*s & 0xC0) == 0x80; ++i, ++s) code = code << 6 | (*s & 0x3F);
        if (code > 0 && code < 256) rt().keys.typed(static_cast<int>(code));
    }
}

bool AltHeld() {
    return rt().keys.down(KEY_LALT) || rt().keys.down(KEY_RALT);
}

void KeyDown(const SDL_KeyboardEvent& key) {
    int code = VirtualKeyFromScancode(key.keysym.scancode);
    // Alt+Enter belongs to the window, not to the game: no Enter is typed or pressed.
    if (code == KEY_ENTER && AltHeld()) {
        if (!key.repeat) ToggleFullScreen();
        return;
    }
    if (code == KEY_BACKSPACE || code == KEY_TAB || code == KEY_ENTER || code == KEY_ESCAPE)
        rt().keys.typed(code);
    if (code == KEY_DELETE) rt().keys.typed(127); // the character Delete types
    if (code != 0 && !key.repeat) PressKey(code);
}

void WindowEvent(const SDL_WindowEvent& w, bool live) {
    switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (live) rt().keys.focusChanged();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        rt().keys.requestClose();
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (rt().renderer && rt().platform.window) {
            int width = 0, height = 0;
            SDL_GL_GetDrawableSize(rt().platform.window, &width, &height);
            rt().renderer->setDrawableSize(width, height);
        }
        break;
    default:
        break;
    }
}

} // namespace

void PressKey(int code) {
    if (code == KEY_ENTER && AltHeld()) {
        ToggleFullScreen();
        return;
    }
    rt().keys.press(code);
    if (code == KEY_F12) rt().platform.screenshotKey = true;
}

void ApplyScriptEvent(const ScriptEvent& event) {
    switch (event.kind) {
    case ScriptEvent::Down:
        PressKey(event.code);
        break;
    case ScriptEvent::Up:
        rt().keys.release(event.code);
        break;
    case ScriptEvent::Char:
        rt().keys.typed(event.code);
        break;
    case ScriptEvent::Close:
        rt().keys.requestClose();
        break;
    case ScriptEvent::Shot:
        rt().platform.pendingShots.emplace_back(event.file, event.window);
        break;
    case ScriptEvent::PadAttach:
    case ScriptEvent::PadDetach:
    case ScriptEvent::PadButton:
    case ScriptEvent::PadAxis:
        ScriptPadEvent(event);
        break;
    }
}

namespace {

// Every pending SDL event. A scripted run takes its keys from the script only; the close box,
// the window's size and the pads still count.
void pumpwindow(bool keys) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (PadEvent(e)) continue;
        switch (e.type) {
        case SDL_QUIT:
            rt().keys.requestClose();
            break;
        case SDL_WINDOWEVENT:
            WindowEvent(e.window, keys);
            break;
        case SDL_KEYDOWN:
            if (keys) KeyDown(e.key);
            break;
        case SDL_KEYUP:
            if (keys && VirtualKeyFromScancode(e.key.keysym.scancode) != 0)
                rt().keys.release(VirtualKeyFromScancode(e.key.keysym.scancode));
            break;
        case SDL_TEXTINPUT:
            if (keys) TypeText(e.text.text);
            break;
        case SDL_AUDIODEVICEADDED:
        case SDL_AUDIODEVICEREMOVED:
            AudioDeviceEvent(e);
            break;
        default:
            break;
        }
    }
}

void livepump() {
    pumpwindow(true);
}
void scriptedpump() {
    pumpwindow(false);
}
// Without a window there are still the pads.
void nopump() {
    if (!rt().platform.padsReady) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) PadEvent(e);
}

} // namespace

const InputBackend liveinput = {"live", livepump};
const InputBackend scriptedinput = {"scripted", scriptedpump};
const InputBackend noinput = {"none", nopump};
