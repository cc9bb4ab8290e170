// Message boxes through SDL (the browser's own in a page), or, in scripted runs, never blocking:
// questions take the script's answers and information goes to stderr. The text also goes to stderr
// in live runs, so a message survives in a terminal or a log after the box is gone.
#include "runtime/dialog.h"
#include "runtime/context.h"
#include <cstdio>
#ifdef __EMSCRIPTEN__
#include "runtime/browser_web.h"
#endif

namespace {

void WriteLine(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

#ifdef __EMSCRIPTEN__

// A page shows the browser's own boxes, which have OK and Cancel: Cancel says no.
int liveask(const std::string& text, int) {
    return BrowserConfirm(text.c_str()) ? 1 : 0;
}

void livenotify(const std::string& text, int) {
    BrowserAlert(text.c_str());
}

#else

Uint32 Icon(int serious) {
    return serious == 1 ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
}

int liveask(const std::string& text, int serious) {
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {0, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, -1, "Cancel"},
    };
    const SDL_MessageBoxData box = {
        Icon(serious), rt().platform.window, rt().title.c_str(), text.c_str(), 3, buttons, nullptr};
    int answer = -1; // closing the box counts as Cancel
    if (SDL_ShowMessageBox(&box, &answer) < 0) {
        // No box can be shown: the question is answered "no", as an unanswered script's.
        WriteLine(text + " (no message box: " + SDL_GetError() + "; answered no)");
        return 0;
    }
    return answer;
}

void livenotify(const std::string& text, int serious) {
    SDL_ShowSimpleMessageBox(Icon(serious), rt().title.c_str(), text.c_str(), rt().platform.window);
}

#endif

int scriptedask(const std::string&, int) {
    return rt().platform.script.nextAnswer();
}

void scriptednotify(const std::string&, int) {}

} // namespace

const DialogBackend livedialogs = {"live", liveask, livenotify};
const DialogBackend scripteddialogs = {"scripted", scriptedask, scriptednotify};

int AskYesNoCancel(const std::string& text, int serious) {
    return rt().platform.dialogs->ask(text, serious);
}

void Notify(const std::string& text, int serious) {
    WriteLine(text);
    rt().platform.dialogs->notify(text, serious);
}
