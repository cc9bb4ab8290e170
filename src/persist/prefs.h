// The player's options and levels progress, kept in "prefs.txt" in the game folder.
// Depends on: runtime streams, text conversion and the question box.
#pragma once
#include <functional>

// The six persistent fields, in the order of the file's six lines, with their defaults (the
// only place they are written down).
struct Prefs {
    int resolution = 3;    // 1 = 640 x 480, 2 = 800 x 600, 3 = 1024 x 768
    int fullscreen = 0;    // 0 = window, 1 = full screen
    int trail = 1;         // 0 = none, 1 = medium quality, 2 = high quality
    int fireworks = 1;     // 0 = off, 1 = on
    int musicvolume = 5;   // 0 to 10; the music channel plays at musicvolume / 10
    int unlockedlevel = 1; // highest starting level offered: 1, 6, 11, ..., 36
};

// Starting levels of the campaign are unlocked this many levels apart: 1, 6, 11, ..., the
// last one being LASTUNLOCK.
inline constexpr int UNLOCKSTEP = 5;
inline constexpr int LASTUNLOCK = 36;

// What start-up does after reading the preferences.
enum class PrefsStart {
    Ready,      // go on and open the display
    Unreadable, // prefs.txt is there but could not be read: go on with the defaults, and do
                // not write the file during this run (the player's own file must survive)
    Quit,       // the player cancelled the first-run question: end with status 0, nothing written
};

// Sets every field but fullscreen to its default; fullscreen stays as it is.
void defaults(Prefs& prefs);

// The first-run question "Play Fullscreen?": 1 Yes, 0 No, -1 Cancel or the box closed.
int askfullscreen();

// Reads "prefs.txt" over the fields. Only when nothing is there at all is the player asked
// (through ask) whether to play full screen, and the file is written. A short file leaves its
// missing fields as they are and a damaged line reads as TextToInt does; a file that exists
// but cannot be read leaves the fields as they were and asks nothing. Afterwards every field
// is in the range the game expects. The caller sets its initial level to unlockedlevel.
PrefsStart loadprefs(Prefs& prefs, const std::function<int()>& ask = askfullscreen);

// Writes the six fields to "prefs.txt" without ever losing the old file; false when the file
// could not be written (the game then goes on with the values in memory).
bool saveprefs(const Prefs& prefs);
