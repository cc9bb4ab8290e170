// Reading and writing "settings.txt"; see settings.h.
#include "persist/settings.h"

#include "persist/savefile.h"
#include "runtime/text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char* const settingsfile = "settings.txt";

struct Field {
    const char* name;
    int Settings::*value;
    int lo, hi;
};

// The file's names, in the order they are written.
constexpr Field fields[] = {
    {"soundeffects", &Settings::soundeffects, 0, 10},
    {"teamcolours", &Settings::teamcolours, 0, 1},
    {"inputdelay", &Settings::inputdelay, -1, 4},
};

// A server's name and port as typed: printable, no spaces, not too long.
bool validserver(const std::string& text) {
    if (text.size() > SERVERLENGTH) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c < 127; });
}

} // namespace

bool loadsettings(Settings& settings) {
    SaveFound found;
    Stream in = opensave(settingsfile, found);
    if (found == SaveFound::Unreadable) return false;
    if (!in) return true;
    Settings read = settings;
    while (!AtEnd(*in)) {
        const std::string line = ReadLine(*in);
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        for (const Field& f : fields) {
            if (line.compare(0, eq, f.name) == 0 && eq == std::string(f.name).size())
                read.*f.value = std::clamp(TextToInt(line.substr(eq + 1)), f.lo, f.hi);
        }
        if (line.compare(0, eq, "server") == 0 && eq == 6 && validserver(line.substr(eq + 1)))
            read.server = line.substr(eq + 1);
    }
    const bool broken = ReadFailed(*in);
    CloseStream(in);
    if (broken) {
        reportunreadable(settingsfile, READ_BROKE_OFF);
        return false;
    }
    settings = read;
    return true;
}

bool savesettings(const Settings& settings) {
    std::vector<std::string> lines;
    for (const Field& f : fields)
        lines.push_back(std::string(f.name) + "=" + std::to_string(settings.*f.value));
    if (!settings.server.empty()) lines.push_back("server=" + settings.server);
    return savelines(settingsfile, lines);
}
