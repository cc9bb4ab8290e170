// Choosing the pad mappings worth loading; see padmappings.h.
#include "runtime/padmappings.h"
#include <algorithm>
#include <cctype>
#include <unordered_set>

namespace {

constexpr size_t LONGESTMAPPING = 1024; // a real mapping line is about 250 characters

bool sameletters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The value of "platform:" in a mapping line, empty when it has none.
std::string_view platformof(std::string_view line) {
    const size_t at = line.find("platform:");
    if (at == std::string_view::npos) return {};
    const std::string_view rest = line.substr(at + 9);
    return rest.substr(0, rest.find(','));
}

} // namespace

PadMappings choosepadmappings(std::string_view text, std::string_view platform) {
    PadMappings chosen;
    std::unordered_set<std::string_view> pads;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line.size() > LONGESTMAPPING) continue;
        if (!sameletters(platformof(line), platform)) continue;
        const std::string_view guid = line.substr(0, line.find(','));
        if (!pads.insert(guid).second) continue;
        if (chosen.lines.size() == PAD_MAPPINGS) {
            chosen.cut = true;
            break;
        }
        chosen.lines.emplace_back(line);
    }
    return chosen;
}
