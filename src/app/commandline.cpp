// Parsing of the command line, with every value checked against the range the game accepts,
// so a mistyped start says what is wrong instead of playing something else.
#include "app/commandline.h"
#include "match/levels.h"
#include "match/rollback.h"
#include "match/synctest.h"
#include "runtime/folders.h"
#include "runtime/text.h"
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

// A whole decimal integer, nothing else.
bool parseint(const std::string& text, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool rangeerror(const std::string& name, const std::string& text, long long lo, long long hi,
                std::string& error) {
    std::ostringstream out;
    out << name << " must be a whole number from " << lo << " to " << hi << ", not '" << text
        << "'";
    error = out.str();
    return false;
}

bool parseranged(const std::string& name, const std::string& text, long long lo, long long hi,
                 int& value, std::string& error) {
    long long v = 0;
    if (!parseint(text, v) || v < lo || v > hi) return rangeerror(name, text, lo, hi, error);
    value = static_cast<int>(v);
    return true;
}

// "players=4,ai=15,..." over the named fields of the record; unnamed fields keep their values.
template <class Settings, size_t N>
bool parsesettings(const std::string& option, const std::string& text,
                   const Tsettingfield<Settings> (&fields)[N], Settings& into, std::string& error) {
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        const size_t eq = item.find('=');
        const std::string key = item.substr(0, eq);
        const Tsettingfield<Settings>* field = nullptr;
        for (const auto& f : fields) {
            if (key == f.key) field = &f;
        }
        if (eq == std::string::npos || !field) {
            error = option + ": unknown setting '" + item + "'";
            return false;
        }
        if (!parseranged(option + " " + key, item.substr(eq + 1), field->lo, field->hi,
                         into.*(field->field), error)) {
            return false;
        }
    }
    return true;
}

// "players (2-4), speed (1-10), ..." for the usage text, in lines under its column.
template <class Settings, size_t N>
std::string settingkeys(const Tsettingfield<Settings> (&fields)[N]) {
    const std::string indent(25, ' ');
    std::string text = indent, line;
    for (size_t i = 0; i < N; ++i) {
        const auto& f = fields[i];
        std::string item = std::string(f.key) + " (" + std::to_string(f.lo) + "-" +
                           std::to_string(f.hi) + ")" + (i + 1 < N ? "," : "");
        if (!line.empty() && indent.size() + line.size() + 1 + item.size() > 79) {
            text += line + "\n" + indent;
            line.clear();
        }
        line += (line.empty() ? "" : " ") + item;
    }
    return text + line + "\n";
}

// Only one way of starting play can be asked for.
bool setlaunch(Launch& launch, Launch::Kind kind, const std::string& option, std::string& error) {
    if (launch.kind != Launch::Menu) {
        error = option + " cannot be combined with another start (--level, --custom, "
                         "--multiplayer, --demo, --replay, --host, --join, --watch)";
        return false;
    }
    launch.kind = kind;
    return true;
}

// The program moves to its saves folder before it starts, so a file named on the command line is
// fixed to a full path from the caller's folder first.
std::string fromcaller(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(PathFromText(path), ec);
    return ec ? path : TextFromPath(full);
}

} // namespace

std::string usagetext() {
    return "usage: vantorix [options]\n"
           "  --script FILE          drive the game from an input script (virtual clock);\n"
           "                         its shot files are written in the saves folder\n"
           "  --frames N             end with status 0 after N frames\n"
           "  --level N              play the levels campaign from level N (1-" +
           std::to_string(LASTLEVEL) +
           ")\n"
           "  --custom k=v,...       play a custom series; keys\n" +
           settingkeys(customfields) +
           "  --multiplayer k=v,...  play a multiplayer series; keys\n" + settingkeys(multifields) +
           "  --replay FILE          watch a recorded game (Space: four times the speed)\n"
           "  --record FILE          save the first game's replay to FILE\n"
           "  --host PORT            host an online multiplayer series on the UDP port\n"
           "                         (with --multiplayer: its settings; players in all)\n"
           "  --join HOST:PORT|CODE  join the online series hosted there, or the one of that\n"
           "                         room code on the server\n"
           "  --watch HOST:PORT|CODE watch the online series hosted there, or by room code\n"
           "  --server HOST:PORT     meet through this rendezvous server: a host gets a room\n"
           "                         code (printed as 'room CODE'), joiners give it\n"
           "  --local N              players at this machine online (1-3; the keys and pads\n"
           "                         of players 1 to N)\n"
           "  --netsim k=v,...       make this machine's network bad on purpose; keys\n"
           "                         delay (ms), jitter (ms), loss (%), dup (%), seed\n"
           "  --netstats             print the network's figures after an online series\n"
           "  --trace FILE           append one line per match frame to FILE\n"
           "  --autopilot D          the computer steers figure 1 with delay D (0-49)\n"
           "  --synctest N           after every frame go back N frames (1-100), play them\n"
           "                         again and compare; a difference ends with status 1\n"
           "  --inputdelay auto|N    online: send this machine's keys N frames (0-4) before\n"
           "                         they are played; auto chooses from the round trip\n"
           "  --realtime             run a script on the real clock (with --script)\n"
           "  --nodraw               draw nothing at all (only with --script)\n"
           "  --demo                 watch the computer play, saving screenshots to shots/\n"
           "  --seed S               seed the random numbers with S instead of the clock\n"
           "  --window WxH           open the window at W x H (the game keeps its own size\n"
           "                         and is scaled to the window); Alt+Enter: full screen\n"
           "  --help                 show this text\n"
           "  --version              show the version\n"
           "\n"
           "Saves (prefs.txt, scores.txt, settings.txt) and F12 screenshots are kept in the\n"
           "game folder when the game runs from a folder that holds media/ (the build folder,\n"
           "a portable copy) and may write it; an installed game, or one whose folder is read\n"
           "only, keeps them in $XDG_DATA_HOME/vantorix/ (else ~/.local/share/vantorix/),\n"
           "made on the first start, which copies the saves of the old folder there once.\n"
           "The replays of the last 50 games are kept in replays/ there.\n";
}

bool parsecommandline(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
    bool hosting = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Options that take a value read it here; a missing one is an error.
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        // A file's name, which an empty word is not.
        auto file = [&](std::string& v) {
            if (!value(v)) return false;
            if (v.empty()) error = arg + " needs a file name, not an empty one";
            return !v.empty();
        };
        std::string v;
        if (arg == "--help") {
            out.help = true;
        } else if (arg == "--version") {
            out.version = true;
        } else if (arg == "--nodraw") {
            out.nodraw = true;
        } else if (arg == "--demo") {
            if (!setlaunch(out.launch, Launch::Demo, arg, error)) return false;
        } else if (arg == "--script") {
            if (!file(v)) return false;
            out.script = fromcaller(v);
        } else if (arg == "--replay") {
            if (!file(v) || !setlaunch(out.launch, Launch::Replay, arg, error)) return false;
            out.launch.replay = fromcaller(v);
        } else if (arg == "--host") {
            if (!value(v)) return false;
            if (!parseranged(arg, v, 1, 65535, out.launch.port, error)) return false;
            hosting = true;
        } else if (arg == "--join") {
            if (!value(v) || !setlaunch(out.launch, Launch::Join, arg, error)) return false;
            out.launch.join = v;
        } else if (arg == "--watch") {
            if (!value(v) || !setlaunch(out.launch, Launch::Watch, arg, error)) return false;
            out.launch.join = v;
        } else if (arg == "--server") {
            if (!value(v)) return false;
            if (v.empty() || v.size() > 255 || v.rfind(':') == std::string::npos) {
                error = "--server takes HOST:PORT, not '" + Printable(v, 80) + "'";
                return false;
            }
            out.server = v;
        } else if (arg == "--netsim") {
            if (!value(v) || !parsenetsim(v, out.netsim, error)) return false;
        } else if (arg == "--local") {
            if (!value(v) || !parseranged(arg, v, 1, 3, out.localplayers, error)) return false;
        } else if (arg == "--synctest") {
            if (!value(v) || !parseranged(arg, v, 1, SYNCTEST_MOST, out.synctest, error))
                return false;
        } else if (arg == "--inputdelay") {
            if (!value(v)) return false;
            if (v == "auto") {
                out.inputdelay = -1;
            } else if (!parseranged(arg, v, 0, MAXINPUTDELAY, out.inputdelay, error)) {
                return false;
            }
        } else if (arg == "--realtime") {
            out.realtime = true;
        } else if (arg == "--netstats") {
            out.netstats = true;
        } else if (arg == "--record") {
            if (!file(v)) return false;
            out.record = fromcaller(v);
        } else if (arg == "--trace") {
            if (!file(v)) return false;
            out.trace = fromcaller(v);
        } else if (arg == "--frames") {
            long long n = 0;
            if (!value(v)) return false;
            if (!parseint(v, n) || n < 0 || n > 2147483647L)
                return rangeerror(arg, v, 0, 2147483647, error);
            out.frames = n;
        } else if (arg == "--level") {
            if (!value(v) || !setlaunch(out.launch, Launch::Levels, arg, error)) return false;
            if (!parseranged(arg, v, 1, LASTLEVEL, out.launch.level, error)) return false;
        } else if (arg == "--custom") {
            if (!value(v) || !setlaunch(out.launch, Launch::Custom, arg, error)) return false;
            if (!parsesettings(arg, v, customfields, out.launch.custom, error)) return false;
        } else if (arg == "--multiplayer") {
            if (!value(v) || !setlaunch(out.launch, Launch::Multiplayer, arg, error)) {
                return false;
            }
            if (!parsesettings(arg, v, multifields, out.launch.multi, error)) return false;
        } else if (arg == "--autopilot") {
            // The computer's observation histories hold 50 frames.
            if (!value(v) || !parseranged(arg, v, 0, 49, out.autopilot, error)) return false;
        } else if (arg == "--window") {
            if (!value(v)) return false;
            const size_t x = v.find('x');
            long long w = 0, h = 0;
            if (x == std::string::npos || !parseint(v.substr(0, x), w) ||
                !parseint(v.substr(x + 1), h) || w < 320 || h < 240 || w > 16384 || h > 16384) {
                error = "--window takes WIDTHxHEIGHT from 320x240 to 16384x16384, not '" + v + "'";
                return false;
            }
            out.windowwidth = static_cast<int>(w);
            out.windowheight = static_cast<int>(h);
        } else if (arg == "--seed") {
            long long s = 0;
            if (!value(v)) return false;
            if (!parseint(v, s) || s < -2147483648L || s > 2147483647L) {
                return rangeerror(arg, v, -2147483648L, 2147483647L, error);
            }
            out.seeded = true;
            out.seed = static_cast<int>(s);
        } else {
            error = "unknown argument '" + arg + "'";
            return false;
        }
    }
    // The host plays the multiplayer settings given with it, if any.
    if (hosting) {
        if (out.launch.kind != Launch::Menu && out.launch.kind != Launch::Multiplayer) {
            error = "--host goes only with --multiplayer";
            return false;
        }
        out.launch.kind = Launch::Host;
    }
    if (out.nodraw && out.script.empty()) {
        error = "--nodraw works only together with --script";
        return false;
    }
    if (out.realtime && out.script.empty()) {
        error = "--realtime works only together with --script";
        return false;
    }
    return true;
}
