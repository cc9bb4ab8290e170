// Reading and writing "controls.txt"; see controls.h.
#include "persist/controls.h"

#include "persist/savefile.h"
#include "runtime/pad_state.h"
#include "runtime/text.h"

#include "runtime/keyboard.h"

#include <algorithm>
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

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// What the CONTROLS screen never gives an action: Escape and B cancel there, F12 takes
// screenshots, and nothing is ever unbound there; only the defaults (Escape goes back, player
// 4 has no keys) may say so.
bool refused(const Binding& b, int player, int action) {
    const bool screenonly =
        !b.bound() || b.key == KEY_ESCAPE || b.key == KEY_F12 || b.button == PAD_B;
    return screenonly && b != DefaultControls().of(player, action);
}

enum class LineKind { Used, Refused, Unknown };

// One line into the bindings; line says which line of the file gave each binding.
LineKind readline(const std::string& text, Controls& c,
                  long (&given)[CONTROL_PLAYERS][CONTROL_ACTIONS], long number) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos) return LineKind::Unknown;
    const std::string name = trimmed(text.substr(0, eq)), value = trimmed(text.substr(eq + 1));
    if (name == "rumble") {
        if (value != "0" && value != "1") return LineKind::Refused;
        c.rumble = value == "1";
        return LineKind::Used;
    }
    for (int p = 1; p <= CONTROL_PLAYERS; ++p) {
        for (int a = 0; a < CONTROL_ACTIONS; ++a) {
            if (!HasAction(p, a) || name != linename(p, a)) continue;
            Binding b;
            if (!parse(value, b) || refused(b, p, a)) return LineKind::Refused;
            c.bindings[p - 1][a] = b;
            given[p - 1][a] = number;
            return LineKind::Used;
        }
    }
    return LineKind::Unknown;
}

// While a key or button does two things, the later of the file's lines involved gives way to
// the default binding (the defaults never clash with each other); the lines that gave way go
// to refusedlines.
void settleclashes(Controls& c, long (&given)[CONTROL_PLAYERS][CONTROL_ACTIONS],
                   std::vector<long>& refusedlines) {
    for (bool clash = true; clash;) {
        clash = false;
        for (int p = 1; p <= CONTROL_PLAYERS && !clash; ++p) {
            for (int a = 0; a < CONTROL_ACTIONS && !clash; ++a) {
                if (!HasAction(p, a)) continue;
                const auto [p2, a2] = BindingUsed(c, c.of(p, a), p, a);
                if (p2 == 0) continue;
                clash = true;
                // The other side may be a role rather than a binding (A confirms on every
                // pad): then this binding gives way.
                const bool mine =
                    c.of(p2, a2) != c.of(p, a) || given[p - 1][a] >= given[p2 - 1][a2];
                const int lp = mine ? p : p2, la = mine ? a : a2;
                refusedlines.push_back(given[lp - 1][la]);
                c.bindings[lp - 1][la] = DefaultControls().of(lp, la);
                given[lp - 1][la] = 0;
            }
        }
    }
}

std::string linelist(std::vector<long> numbers) {
    std::sort(numbers.begin(), numbers.end());
    std::string text;
    for (size_t i = 0; i < numbers.size() && i < 10; ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    return numbers.size() > 10 ? text + "..." : text;
}

} // namespace

ControlsRead loadcontrols(ControlsFile& file) {
    file = ControlsFile{DefaultControls(), {}};
    SaveFound found;
    Stream in = opensave(controlsfile, found);
    if (found == SaveFound::Unreadable) return ControlsRead::Unreadable;
    if (!in) return ControlsRead::Defaults;
    ControlsFile read{DefaultControls(), {}};
    long given[CONTROL_PLAYERS][CONTROL_ACTIONS] = {};
    std::vector<long> notused;
    for (long number = 1; !AtEnd(*in); ++number) {
        const std::string line = ReadLine(*in);
        if (trimmed(line).empty()) continue;
        const LineKind kind = readline(line, read.controls, given, number);
        if (kind != LineKind::Used) notused.push_back(number);
        if (kind == LineKind::Unknown) read.unknown.push_back(line);
    }
    const bool broken = ReadFailed(*in);
    CloseStream(in);
    if (broken) {
        reportunreadable(controlsfile, READ_BROKE_OFF);
        return ControlsRead::Unreadable;
    }
    settleclashes(read.controls, given, notused);
    if (!notused.empty()) {
        std::fprintf(stderr,
                     "vantorix: %s: line%s %s left out (unknown, a key bound twice, or a "
                     "binding the CONTROLS screen refuses); the other lines are used\n",
                     controlsfile, notused.size() > 1 ? "s" : "", linelist(notused).c_str());
    }
    file = std::move(read);
    return ControlsRead::Read;
}

bool savecontrols(const ControlsFile& file) {
    std::vector<std::string> lines;
    for (int p = 1; p <= CONTROL_PLAYERS; ++p)
        for (int a = 0; a < CONTROL_ACTIONS; ++a)
            if (HasAction(p, a))
                lines.push_back(linename(p, a) + "=" + value(file.controls.of(p, a)));
    lines.push_back(std::string("rumble=") + (file.controls.rumble ? "1" : "0"));
    lines.insert(lines.end(), file.unknown.begin(), file.unknown.end());
    return savelines(controlsfile, lines);
}
