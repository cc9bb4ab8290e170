// What the game needs of the page around it when it runs in a browser (built by emscripten).
// The game keeps its own loops; the browser shows a frame and delivers keys, pads and files
// only once the game hands control back to it, which these waits do. They are the only ones:
// ASYNCIFY makes ready for them just the functions that call them directly or through others,
// not through a pointer, except those web/CMakeLists.txt names.
#pragma once

// Hands control to the browser until its next animation frame: the frame just drawn is shown,
// and the game is paced by the display.
void WaitForBrowserFrame();
// Hands control to the browser for ms milliseconds, or as short a time as it allows.
void YieldToBrowser(int ms = 0);
// The saves live in the browser's IndexedDB, which holds only what is written back to it:
// called after every save.
void KeepSaves();
// The browser's own boxes, for the game's messages and yes-or-no questions: true for OK.
bool BrowserConfirm(const char* text);
void BrowserAlert(const char* text);
// Whether the browser lays out the pad of this name in its standard way, so the game may map
// its buttons by position.
bool StandardBrowserPad(const char* name);
