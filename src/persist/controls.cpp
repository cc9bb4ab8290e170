// Reading and writing "controls.txt"; see controls.h.
#include "persist/controls.h"

#include "persist/savefile.h"
#include "runtime/pad_state.h"
#include "runtime/text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const controlsfile = "controls.txt";

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string linename(int player, int action) {
    return "player" + std::to_string(player) + "." + lower(ActionName(action));
}

std::string value(const Binding& b) {
    if (b.key != 0) return "key " + std::to_string(b.key);
    if (b.button >= 0) return "pad " + lower(PadButtonName(b.button).substr(4));
    return "none";
}

// "key 87", "pad x" or "none"; false for anything else.
bool parse(const std::string& text, Binding& b) {
    b = Binding{};
    if (text == "none") return true;
    if (text.rfind("key ", 0) == 0) {
        b.key = TextToInt(text.substr(4));
        return b.key > 0 && b.key < 256 && std::to_string(b.key) == text.substr(4);
    }
    for (int button = 0; button < PAD_BUTTONS; ++button) {
        if (text == "pad " + lower(PadButtonName(button).substr(4))) {
            b.button = button;
            return true;
        }
    }
    return false;
}

// One line into the bindings; false when it is not a binding line at all.
bool readline(const std::string& line, Controls& c) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    const std::string name = line.substr(0, eq), text = line.substr(eq + 1);
    if (name == "rumble") {
        c.rumble = text == "1";
        return text == "0" || text == "1";
    }
    for (int p = 1; p <= CONTROL_PLAYERS; ++p)
        for (int a = 0; a < CONTROL_ACTIONS; ++a)
            if (HasAction(p, a) && name == linename(p, a)) return parse(text, c.bindings[p - 1][a]);
    return false;
}

bool conflicting(const Controls& c) {
    for (int p = 1; p <= CONTROL_PLAYERS; ++p)
        for (int a = 0; a < CONTROL_ACTIONS; ++a)
            if (HasAction(p, a) && BindingUsed(c, c.of(p, a), p, a).first != 0) return true;
    return false;
}

} // namespace

ControlsRead loadcontrols(Controls& controls) {
    controls = DefaultControls();
    SaveFound found;
    Stream in = opensave(controlsfile, found);
    if (found == SaveFound::Unreadable) return ControlsRead::Unreadable;
    if (!in) return ControlsRead::Defaults;
    Controls read = DefaultControls();
    bool damaged = false;
    while (!AtEnd(*in) && !damaged) {
        const std::string line = ReadLine(*in);
        if (!line.empty() && !readline(line, read)) damaged = true;
    }
    const bool broken = ReadFailed(*in);
    CloseStream(in);
    if (broken) {
        reportunreadable(controlsfile, READ_BROKE_OFF);
        return ControlsRead::Unreadable;
    }
    if (damaged || conflicting(read)) {
        std::fprintf(stderr, "vantorix: %s is damaged; playing with the default controls\n",
                     controlsfile);
        return ControlsRead::Defaults;
    }
    controls = read;
    return ControlsRead::Read;
}

bool savecontrols(const Controls& controls) {
    std::vector<std::string> lines;
    for (int p = 1; p <= CONTROL_PLAYERS; ++p)
        for (int a = 0; a < CONTROL_ACTIONS; ++a)
            if (HasAction(p, a)) lines.push_back(linename(p, a) + "=" + value(controls.of(p, a)));
    lines.push_back(std::string("rumble=") + (controls.rumble ? "1" : "0"));
    return savelines(controlsfile, lines);
}
