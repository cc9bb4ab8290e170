// Parser and player of input scripts (format in script.h).
#include "runtime/script.h"
#include "runtime/files.h"
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// A whole word of decimal digits within [lo, hi]; false for anything else.
bool Number(const std::string& word, long lo, long hi, long& value) {
    if (word.empty() || word.size() > 10) return false;
    if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    value = std::strtol(word.c_str(), nullptr, 10);
    return value >= lo && value <= hi;
}

// A picture goes into the saves folder and can never replace anything the game keeps there: a
// relative name ending in .png, without "..", outside media/. The empty string when it is
// fine, else the problem.
std::string ShotProblem(const std::string& file) {
    const std::string png = ".png";
    if (file.size() <= png.size() || file.compare(file.size() - png.size(), png.size(), png) != 0)
        return "a shot file name ends in .png";
    if (file.front() == '/') return "a shot goes into the game folder, not to an absolute path";
    std::istringstream parts(file);
    bool first = true;
    for (std::string part; std::getline(parts, part, '/');) {
        if (part == "..") return "a shot stays inside the game folder (no '..')";
        if (part.empty() || part == ".") continue;
        if (first && part == "media") return "a shot never writes into media/";
        first = false;
    }
    return "";
}

// "pad <n> attach [name] | detach | button <name> down|up | axis leftx|lefty <value>" after
// the frame number; the empty string when fine, else the problem.
std::string ParsePad(const std::vector<std::string>& w, ScriptEvent& e) {
    static const char* const buttons[] = {"a",     "b",    "x",      "y",      "back",
                                          "start", "dpup", "dpdown", "dpleft", "dpright"};
    long n = 0;
    if (w.size() < 4 || !Number(w[2], 1, 16, n)) return "pad takes a number from 1 to 16";
    e.pad = static_cast<int>(n);
    const std::string& what = w[3];
    if (what == "attach") {
        e.kind = ScriptEvent::PadAttach;
        for (size_t i = 4; i < w.size(); ++i) e.file += (i > 4 ? " " : "") + w[i];
        if (e.file.empty()) e.file = "PAD " + w[2];
        return "";
    }
    if (what == "detach") {
        e.kind = ScriptEvent::PadDetach;
        return w.size() == 4 ? "" : "pad detach takes nothing more";
    }
    if (what == "button") {
        e.kind = ScriptEvent::PadButton;
        e.code = -1;
        for (int b = 0; b < PAD_BUTTONS && w.size() == 6; ++b)
            if (w[4] == buttons[b]) e.code = b;
        if (e.code < 0 || (w[5] != "down" && w[5] != "up"))
            return "pad button takes a|b|x|y|back|start|dpup|dpdown|dpleft|dpright and down|up";
        e.value = w[5] == "down" ? 1 : 0;
        return "";
    }
    if (what == "axis") {
        e.kind = ScriptEvent::PadAxis;
        const bool negative = w.size() == 6 && !w[5].empty() && w[5][0] == '-';
        long value = 0;
        if (w.size() != 6 || (w[4] != "leftx" && w[4] != "lefty") ||
            !Number(negative ? w[5].substr(1) : w[5], 0, negative ? 32768 : 32767, value))
            return "pad axis takes leftx|lefty and a value from -32768 to 32767";
        e.code = w[4] == "leftx" ? 0 : 1;
        e.value = static_cast<int>(negative ? -value : value);
        return "";
    }
    return "pad takes attach, detach, button or axis";
}

// One line without its comment; an empty string when the line is fine, else the problem.
std::string ParseLine(std::string_view line, long order, Script& out,
                      std::vector<std::pair<long, ScriptEvent>>& events) {
    std::vector<std::string> w = Words(line.substr(0, line.find('#')));
    if (w.empty()) return "";
    if (w[0] == "answer") {
        if (w.size() != 2) return "answer takes one of yes, no, cancel";
        if (w[1] == "yes")
            out.answers.push_back(1);
        else if (w[1] == "no")
            out.answers.push_back(0);
        else if (w[1] == "cancel")
            out.answers.push_back(-1);
        else
            return "answer takes one of yes, no, cancel, not '" + w[1] + "'";
        return "";
    }
    ScriptEvent e;
    if (!Number(w[0], 0, 2000000000L, e.frame)) return "a line starts with a frame number";
    if (w.size() < 2) return "an event name must follow the frame number";
    const std::string& kind = w[1];
    if (kind == "close") {
        if (w.size() != 2) return "close takes nothing";
        e.kind = ScriptEvent::Close;
    } else if (kind == "pad") {
        if (std::string problem = ParsePad(w, e); !problem.empty()) return problem;
    } else if (kind == "shot" || kind == "windowshot") {
        if (w.size() != 3) return kind + " takes one file name";
        e.kind = ScriptEvent::Shot;
        e.file = w[2];
        e.window = kind == "windowshot";
        if (std::string problem = ShotProblem(e.file); !problem.empty()) return problem;
    } else if (kind == "down" || kind == "up" || kind == "tap" || kind == "char") {
        long code = 0;
        if (w.size() != 3 || !Number(w[2], 1, 255, code))
            return kind + " takes one code from 1 to 255";
        e.code = static_cast<int>(code);
        e.kind = kind == "up"     ? ScriptEvent::Up
                 : kind == "char" ? ScriptEvent::Char
                                  : ScriptEvent::Down;
    } else {
        return "unknown event '" + kind + "'";
    }
    events.emplace_back(order, e);
    if (kind == "tap") {
        ScriptEvent release = e;
        release.kind = ScriptEvent::Up;
        release.frame = e.frame + 1;
        events.emplace_back(order, release);
    }
    return "";
}

} // namespace

bool ParseScript(std::string_view text, Script& out, std::string& error) {
    out = Script{};
    std::vector<std::pair<long, ScriptEvent>> events;
    long number = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        std::string problem = ParseLine(line, number, out, events);
        if (!problem.empty()) {
            error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    // Frame order, and file order within a frame (a tap's release keeps its line's place).
    std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) {
        return a.second.frame != b.second.frame ? a.second.frame < b.second.frame
                                                : a.first < b.first;
    });
    for (auto& [order, e] : events) out.events.push_back(std::move(e));
    return true;
}

bool LoadScript(const std::string& path, Script& out, std::string& error) {
    std::string text;
    FileProblem problem;
    if (!ReadWholeFile(path, MAX_SCRIPT, text, &problem)) {
        error = "cannot read the script " + DescribeProblem(path, problem);
        return false;
    }
    if (!ParseScript(text, out, error)) {
        error = "script " + path + ", " + error;
        return false;
    }
    return true;
}

void ScriptPlayer::start(Script script) {
    script_ = std::move(script);
    next_ = 0;
}

void ScriptPlayer::deliver(long frame, const std::function<void(const ScriptEvent&)>& apply) {
    while (next_ < script_.events.size() && script_.events[next_].frame <= frame)
        apply(script_.events[next_++]);
}

int ScriptPlayer::nextAnswer() {
    if (script_.answers.empty()) return 0;
    int answer = script_.answers.front();
    script_.answers.pop_front();
    return answer;
}
