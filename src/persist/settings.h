// The options that came after the first six: kept in "settings.txt" beside prefs.txt (whose
// six lines are a fixed format with no room for more), one "name=value" line each, so a new
// option only adds a line. A missing, damaged or partial file gives the defaults for what it
// lacks; an unreadable one is never written, like the other save files.
// Depends on: runtime streams and text conversion.
#pragma once
#include <string>

struct Settings {
    int soundeffects = 5; // volume of the sound effects, 0 (off) to 10
    int teamcolours = 0;  // 0 standard team colours, 1 colour-blind safe
    int inputdelay = -1;  // online: frames this machine's keys go out early; -1 auto, 0 to 4
    // online: the rendezvous server, HOST:PORT (printable, at most SERVERLENGTH); "" for none
    std::string server;
};
inline constexpr size_t SERVERLENGTH = 255;

// Reads "settings.txt" over the fields: lines "name=value", unknown names and damaged lines
// skipped, values brought into range. False when the file is there but cannot be read: the
// fields stay as they were and the caller must not write the file during this run.
bool loadsettings(Settings& settings);

// Writes every field to "settings.txt" without ever losing the old file; false when the file
// could not be written.
bool savesettings(const Settings& settings);
