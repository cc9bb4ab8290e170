// libFuzzer target: any bytes as an input script. Parsing must never crash, and a script it
// accepts holds only events in frame order, codes a key or character can have, and pictures
// that stay inside the game folder and away from its media.
#include "runtime/script.h"
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Inside the game folder (relative, no ".." part), outside media/, and a .png.
bool safeshot(const std::string& file) {
    if (file.size() <= 4 || file.compare(file.size() - 4, 4, ".png") != 0) return false;
    if (file.front() == '/') return false;
    bool first = true;
    for (size_t start = 0; start <= file.size();) {
        size_t end = file.find('/', start);
        if (end == std::string::npos) end = file.size();
        const std::string part = file.substr(start, end - start);
        if (part == "..") return false;
        if (!part.empty() && part != ".") {
            if (first && part == "media") return false;
            first = false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Script script;
    std::string error;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!ParseScript(text, script, error)) {
        if (error.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    long frame = 0;
    for (const ScriptEvent& e : script.events) {
        if (e.frame < frame) std::abort();
        frame = e.frame;
        if (e.kind == ScriptEvent::Shot && !safeshot(e.file)) std::abort();
        if ((e.kind == ScriptEvent::Down || e.kind == ScriptEvent::Up ||
             e.kind == ScriptEvent::Char) &&
            (e.code < 1 || e.code > 255))
            std::abort();
    }
    for (int answer : script.answers)
        if (answer < -1 || answer > 1) std::abort();
    return 0;
}
