// The replay file; see replay.h. The text is line based and strict: a header of "name value"
// lines in a fixed order, the runs of records, the state hashes, then "end". A file cut short
// or edited by hand into something unreadable is refused with the line it goes wrong on.
#include "match/replay.h"
#include "match/snapshot.h"
#include "runtime/text.h"
#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

constexpr const char* MAGIC = "vantorix replay 1";
constexpr int FLAGSHIFT = 20; // the flags come after the four figures' five bits
// The game's longest line is a settings record of about 70 characters.
constexpr size_t LONGESTLINE = 256;

template <class Settings, size_t N>
std::string settingstext(const Settings& s, const Tsettingfield<Settings> (&fields)[N]) {
    std::ostringstream text;
    const char* comma = "";
    for (const auto& f : fields) {
        text << comma << f.key << '=' << s.*f.field;
        comma = ",";
    }
    return text.str();
}

// Reads the file line by line, each check naming the line it failed on. A line longer than
// any the game writes is refused where it starts, so a file of one endless line costs nothing.
class Reader {
  public:
    explicit Reader(std::istream& in) : in_(in) {}

    bool next(std::string& line) {
        line.clear();
        ++number_;
        int c = 0;
        while ((c = in_.get()) != EOF && c != '\n') {
            if (line.size() == LONGESTLINE) {
                return fail("longer than " + std::to_string(LONGESTLINE) + " characters");
            }
            line.push_back(char(c));
        }
        if (c == EOF && line.empty()) return fail("the file ends too soon");
        // Saved by an editor on Windows: the same file.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    // "name value": the value.
    bool field(const char* name, std::string& value) {
        std::string line;
        if (!next(line)) return false;
        const std::string prefix = std::string(name) + " ";
        if (line.compare(0, prefix.size(), prefix) != 0) {
            return fail(std::string("'") + name + "' expected");
        }
        value = line.substr(prefix.size());
        return true;
    }
    bool number(const char* name, long lo, long hi, long& value) {
        std::string text;
        return field(name, text) && tolong(text, lo, hi, value, name);
    }
    bool number(const char* name, long lo, long hi, int& value) {
        long v = 0;
        if (!number(name, lo, hi, v)) return false;
        value = int(v);
        return true;
    }
    bool tolong(const std::string& text, long lo, long hi, long& value, const char* what) {
        char* end = nullptr;
        errno = 0;
        value = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno != 0 || value < lo || value > hi) {
            return fail(std::string(what) + " must be a whole number from " + std::to_string(lo) +
                        " to " + std::to_string(hi));
        }
        return true;
    }
    template <class Settings, size_t N>
    bool settings(const char* name, const Tsettingfield<Settings> (&fields)[N], Settings& into) {
        std::string text;
        if (!field(name, text)) return false;
        std::istringstream items(text);
        for (std::string item; std::getline(items, item, ',');) {
            const size_t eq = item.find('=');
            const Tsettingfield<Settings>* found = nullptr;
            for (const auto& f : fields)
                if (item.compare(0, eq, f.key) == 0) found = &f;
            long v = 0;
            if (eq == std::string::npos || !found) {
                return fail("unknown setting '" + Printable(item) + "'");
            }
            if (!tolong(item.substr(eq + 1), found->lo, found->hi, v, found->key)) return false;
            into.*(found->field) = int(v);
        }
        return true;
    }
    bool fail(const std::string& reason) {
        error = "line " + std::to_string(number_) + ": " + reason;
        return false;
    }

    std::string error;

  private:
    std::istream& in_;
    long number_ = 0;
};

bool readrun(Reader& r, Replay& into) {
    std::string line;
    if (!r.next(line)) return false;
    std::istringstream items(line);
    std::vector<std::string> values;
    for (std::string v; items >> v;) values.push_back(v);
    if (values.size() != 2 && values.size() != 4) {
        return r.fail("a run is a count and a record, with a typed character and a pick");
    }
    long count = 0, typed = 0, pick = 0;
    if (!r.tolong(values[0], 1, REPLAY_MOST_FRAMES, count, "a run's count")) return false;
    if (values.size() == 4 && (!r.tolong(values[2], 0, 255, typed, "a typed character") ||
                               !r.tolong(values[3], -1000, 1000, pick, "a pick"))) {
        return false;
    }
    char* end = nullptr;
    const unsigned long flags = std::strtoul(values[1].c_str(), &end, 16);
    MatchInput input;
    if (*end != '\0' || flags > 0xffffffffUL || !unpackinput(uint32_t(flags), input)) {
        return r.fail("the record '" + Printable(values[1]) + "' is not one of the game's");
    }
    input.typed = int(typed);
    input.pick = int(pick);
    into.runs.emplace_back(input, count);
    return true;
}

bool readheader(Reader& r, Replay& into) {
    std::string line, figures;
    if (!r.next(line) || line != MAGIC) return r.fail("not a replay of this game");
    if (!r.field("version", into.version)) return false;
    // A version is a word of printable letters ("0.1.0"); anything else is no game's.
    const bool word = std::all_of(into.version.begin(), into.version.end(),
                                  [](char c) { return c > ' ' && c < 0x7f; });
    if (!word) return r.fail("the version is damaged");
    if (!r.field("figures", figures)) return false;
    char* end = nullptr;
    into.figures = std::strtoull(figures.c_str(), &end, 16);
    if (figures.size() != 16 || *end != '\0') return r.fail("the figure hash is damaged");
    if (!r.field("mode", into.start.mode)) return false;
    if (into.start.mode != "levels" && into.start.mode != "custom" &&
        into.start.mode != "multiplayer") {
        return r.fail("unknown mode '" + Printable(into.start.mode) + "'");
    }
    if (!r.number("level", 1, 40, into.start.level) ||
        !r.settings("custom", customfields, into.start.custom) ||
        !r.settings("multiplayer", multifields, into.start.multi) ||
        !r.number("fireworks", 0, 1, into.fireworks) ||
        !r.number("random", 0, 0x7fffffff, into.random)) {
        return false;
    }
    std::string wins;
    if (!r.field("wins", wins)) return false;
    std::istringstream w(wins);
    for (int& n : into.wins) {
        if (!(w >> n) || n < 0 || n > MOSTWINS) {
            return r.fail("the tally needs four counts from 0 to " + std::to_string(MOSTWINS));
        }
    }
    return r.number("autopilot", -1, 1000, into.autopilot) &&
           r.number("startscore", 0, MOSTSCORE, into.startscore) &&
           r.number("entrythreshold", 0, 0x7fffffff, into.entrythreshold) &&
           r.number("levelclock", -1, 0x7fffffff, into.levelclock);
}

} // namespace

uint32_t packinput(const MatchInput& in) {
    uint32_t word = 0;
    for (int k = 0; k < 4; ++k) {
        const FigureInput& f = in.figures[k];
        const uint32_t bits = f.left | f.right << 1 | f.up << 2 | f.down << 3 | f.diagonal << 4;
        word |= bits << (5 * k);
    }
    const bool flags[] = {in.pause, in.fillbar1, in.fillbar2, in.enter,
                          in.space, in.next,     in.leave};
    for (int i = 0; i < 7; ++i) word |= uint32_t(flags[i]) << (FLAGSHIFT + i);
    return word;
}

bool unpackinput(uint32_t word, MatchInput& in) {
    if (word >> (FLAGSHIFT + 7)) return false;
    for (int k = 0; k < 4; ++k) {
        const uint32_t bits = word >> (5 * k);
        in.figures[k] = {bool(bits & 1), bool(bits & 2), bool(bits & 4), bool(bits & 8),
                         bool(bits & 16)};
    }
    bool* flags[] = {&in.pause, &in.fillbar1, &in.fillbar2, &in.enter,
                     &in.space, &in.next,     &in.leave};
    for (int i = 0; i < 7; ++i) *flags[i] = (word >> (FLAGSHIFT + i)) & 1;
    return true;
}

InputRun::InputRun(const MatchInput& in, long frames)
    : word(packinput(in)), pick(int16_t(in.pick)), typed(uint8_t(in.typed)),
      count(uint32_t(frames)) {}

MatchInput InputRun::input() const {
    MatchInput in;
    unpackinput(word, in);
    in.typed = typed;
    in.pick = pick;
    return in;
}

long Replay::frames() const {
    long n = 0;
    for (const InputRun& run : runs) n += run.count;
    return n;
}

void Replay::add(const MatchInput& input) {
    // Only what the packed run keeps counts: the clock is no part of a record.
    const InputRun one(input, 1);
    InputRun* last = runs.empty() ? nullptr : &runs.back();
    if (last && last->word == one.word && last->pick == one.pick && last->typed == one.typed) {
        ++last->count;
    } else {
        runs.push_back(one);
    }
}

void Replay::setleave(bool leave) {
    if (runs.empty() || runs.back().input().leave == leave) return;
    MatchInput last = runs.back().input();
    last.leave = leave;
    if (--runs.back().count == 0) runs.pop_back();
    add(last);
}

std::vector<MatchInput> Replay::records() const {
    std::vector<MatchInput> all;
    for (const InputRun& run : runs) all.insert(all.end(), size_t(run.count), run.input());
    return all;
}

namespace {

void writestart(std::ostream& out, const Replay& r) {
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, r.figures);
    out << MAGIC << "\nversion " << r.version << "\nfigures " << hex << "\nmode " << r.start.mode
        << "\nlevel " << r.start.level << "\ncustom " << settingstext(r.start.custom, customfields)
        << "\nmultiplayer " << settingstext(r.start.multi, multifields) << "\nfireworks "
        << r.fireworks << "\nrandom " << r.random << "\nwins " << r.wins[0] << ' ' << r.wins[1]
        << ' ' << r.wins[2] << ' ' << r.wins[3] << "\nautopilot " << r.autopilot << "\nstartscore "
        << r.startscore << "\nentrythreshold " << r.entrythreshold << "\nlevelclock "
        << r.levelclock << '\n';
}

} // namespace

std::string replaystarttext(const Replay& replay) {
    std::ostringstream out;
    writestart(out, replay);
    out << "inputs 0\nhashes 0\nend\n";
    return out.str();
}

std::string replaytext(const Replay& r) {
    std::ostringstream out;
    char hex[20];
    writestart(out, r);
    out << "inputs " << r.runs.size() << '\n';
    for (const InputRun& run : r.runs) {
        std::snprintf(hex, sizeof hex, "%x", run.word);
        out << run.count << ' ' << hex;
        if (run.typed != 0 || run.pick != 0) out << ' ' << int(run.typed) << ' ' << run.pick;
        out << '\n';
    }
    out << "hashes " << r.hashes.size() << '\n';
    for (uint64_t h : r.hashes) {
        std::snprintf(hex, sizeof hex, "%016" PRIx64, h);
        out << hex << '\n';
    }
    out << "end\n";
    return out.str();
}

bool parsereplay(std::istream& in, Replay& into, std::string& error) {
    Replay read;
    Reader r(in);
    long runs = 0, hashes = 0;
    bool ok = readheader(r, read) && r.number("inputs", 0, REPLAY_MOST_FRAMES, runs);
    // Every run holds a frame at least; the records of a six-hour game fit what is reserved.
    if (ok) read.runs.reserve(size_t(runs));
    long frames = 0;
    for (long i = 0; ok && i < runs; ++i) {
        ok = readrun(r, read);
        frames += ok ? read.runs.back().count : 0;
        if (ok && frames > REPLAY_MOST_FRAMES) ok = r.fail("a game longer than six hours");
    }
    ok = ok && r.number("hashes", 0, frames / HASHEVERY, hashes);
    for (long i = 0; ok && i < hashes; ++i) {
        std::string line;
        char* end = nullptr;
        ok = r.next(line);
        if (!ok) break;
        read.hashes.push_back(std::strtoull(line.c_str(), &end, 16));
        if (line.size() != 16 || *end != '\0') ok = r.fail("a state hash is damaged");
    }
    std::string last;
    if (ok && (!r.next(last) || last != "end")) ok = r.fail("'end' expected");
    if (!ok) {
        error = r.error;
        return false;
    }
    into = std::move(read);
    return true;
}

bool parsereplay(const std::string& text, Replay& into, std::string& error) {
    std::istringstream in(text);
    return parsereplay(in, into, error);
}

uint64_t figurehash(const std::string& bytes) {
    return hashbytes(bytes.data(), bytes.size());
}
