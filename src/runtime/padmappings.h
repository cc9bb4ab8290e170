// The player's own pad mappings (a gamecontrollerdb.txt in the game folder), cut down to what
// SDL should be given: SDL checks every new mapping against all it has, so a database of
// tens of thousands of lines would take minutes to load. Only this system's mappings, each
// pad once (its first line), and at most PAD_MAPPINGS of them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// Far more pads than any database lists for one system today, and loaded in a tenth of a
// second.
inline constexpr size_t PAD_MAPPINGS = 2000;

struct PadMappings {
    std::vector<std::string> lines; // whole mapping lines, for SDL_GameControllerAddMapping
    bool cut = false;               // there were more than PAD_MAPPINGS
};

// The mappings of the text for the platform SDL names ("Linux", "Windows"): lines with
// "platform:<name>," and a pad's GUID not seen before. Comments, other systems' lines and
// lines longer than any mapping are passed over.
PadMappings choosepadmappings(std::string_view text, std::string_view platform);
