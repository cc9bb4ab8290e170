// Little-endian fields one after the other; see wire.h. Parts travel run-length coded (a
// count and a packed record per run): a player holds a key for many frames.
#include "net/wire.h"
#include "match/replay.h"
#include <algorithm>
#include <cstdlib>

namespace {

constexpr size_t MOSTTEXT = 1000; // a version or a reason, as written

class Writer {
  public:
    explicit Writer(Message kind) { u8(uint8_t(kind)); }
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) { put(v, 2); }
    void u32(uint32_t v) { put(v, 4); }
    void u64(uint64_t v) { put(v, 8); }
    void str(const std::string& s, size_t most = MOSTTEXT) {
        const size_t n = std::min<size_t>(s.size(), most);
        u16(uint16_t(n));
        for (size_t i = 0; i < n; ++i) bytes.push_back(uint8_t(s[i]));
    }
    std::vector<uint8_t> bytes;

  private:
    void put(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    }
};

class Reader {
  public:
    Reader(const std::vector<uint8_t>& bytes, Message kind) : bytes_(bytes) {
        ok = u8() == uint8_t(kind);
    }
    uint8_t u8() { return uint8_t(get(1)); }
    uint16_t u16() { return uint16_t(get(2)); }
    uint32_t u32() { return uint32_t(get(4)); }
    uint64_t u64() { return get(8); }
    std::string str() {
        const size_t n = u16();
        if (!ok || at_ + n > bytes_.size()) return fail(), std::string();
        std::string s(bytes_.begin() + long(at_), bytes_.begin() + long(at_ + n));
        at_ += n;
        return s;
    }
    bool done() const { return ok && at_ == bytes_.size(); }
    void fail() { ok = false; }
    bool ok = true;

  private:
    uint64_t get(int n) {
        if (!ok || at_ + size_t(n) > bytes_.size()) return fail(), 0;
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) v |= uint64_t(bytes_[at_++]) << (8 * i);
        return v;
    }
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

constexpr size_t MAXBLOCKS = 8, MAXPARTS = 1024;
constexpr size_t MOSTSTART = 4000; // a replay's start is a few hundred bytes

} // namespace

std::vector<uint8_t> encode(const Hello& m) {
    Writer w(Message::Hello);
    w.str(m.version);
    w.u64(m.figures);
    w.u8(m.players);
    w.u64(m.token);
    return w.bytes;
}

std::vector<uint8_t> encode(const Start& m) {
    Writer w(Message::Start);
    w.u32(uint32_t(m.seed));
    w.u8(m.machines);
    w.u8(m.you);
    for (const auto& f : multifields) w.u8(uint8_t(m.settings.*f.field));
    for (int8_t seat : m.seats) w.u8(uint8_t(seat));
    w.u8(m.fireworks);
    w.u64(m.token);
    return w.bytes;
}

std::vector<uint8_t> encode(const Parts& m) {
    Writer w(Message::Parts);
    w.u32(m.game);
    w.u32(uint32_t(m.frame));
    w.u8(uint8_t(m.acks.size()));
    for (const auto& [machine, next] : m.acks) w.u8(machine), w.u32(uint32_t(next));
    w.u8(uint8_t(m.blocks.size()));
    for (const PartBlock& b : m.blocks) {
        w.u8(b.origin);
        w.u32(uint32_t(b.first));
        std::vector<std::pair<uint16_t, uint32_t>> runs;
        for (const MatchInput& part : b.parts) {
            const uint32_t word = packinput(part);
            if (!runs.empty() && runs.back().second == word) {
                ++runs.back().first;
            } else {
                runs.push_back({1, word});
            }
        }
        w.u16(uint16_t(runs.size()));
        for (const auto& [count, word] : runs) w.u16(count), w.u32(word);
    }
    return w.bytes;
}

std::vector<uint8_t> encode(const Hash& m) {
    Writer w(Message::Hash);
    w.u32(m.game);
    w.u32(uint32_t(m.frame));
    w.u64(m.hash);
    return w.bytes;
}

std::vector<uint8_t> encode(const Over& m) {
    Writer w(Message::Over);
    w.u8(uint8_t(m.reason));
    w.u8(m.machine);
    return w.bytes;
}

std::vector<uint8_t> encode(const Watch& m) {
    Writer w(Message::Watch);
    w.u32(m.game);
    w.str(m.start, MOSTSTART);
    return w.bytes;
}

std::vector<uint8_t> encode(const Records& m) {
    Writer w(Message::Records);
    w.u32(m.game);
    w.u32(uint32_t(m.first));
    w.u16(uint16_t(std::min(m.runs.size(), MOSTRUNS)));
    for (size_t i = 0; i < m.runs.size() && i < MOSTRUNS; ++i) {
        const InputRun& run = m.runs[i];
        w.u32(run.word), w.u16(uint16_t(run.pick)), w.u8(run.typed), w.u32(run.count);
    }
    return w.bytes;
}

std::vector<uint8_t> encodewatchers(int watching) {
    Writer w(Message::Watchers);
    w.u8(uint8_t(std::clamp(watching, 0, 255)));
    return w.bytes;
}

std::vector<uint8_t> encode(const Away& m) {
    Writer w(Message::Away);
    w.u8(m.seat);
    w.u32(m.ms);
    return w.bytes;
}

std::vector<uint8_t> encode(const Resume& m) {
    Writer w(Message::Resume);
    w.u32(m.game);
    w.u32(uint32_t(m.own));
    w.str(m.start, MOSTSTART);
    return w.bytes;
}

std::vector<uint8_t> encoderefusal(const std::string& reason) {
    Writer w(Message::Refuse);
    w.str(reason);
    return w.bytes;
}

std::optional<Message> kindof(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes[0] < uint8_t(Message::Hello) || bytes[0] > uint8_t(Message::Resume))
        return std::nullopt;
    return Message(bytes[0]);
}

bool decode(const std::vector<uint8_t>& bytes, Hello& m) {
    Reader r(bytes, Message::Hello);
    m.version = r.str();
    m.figures = r.u64();
    m.players = r.u8();
    m.token = r.u64();
    // No game writes a longer version: a hello that says one is no game's.
    return r.done() && m.players <= 3 && m.version.size() <= MOSTTEXT;
}

bool decode(const std::vector<uint8_t>& bytes, Start& m) {
    Reader r(bytes, Message::Start);
    m.seed = int32_t(r.u32());
    m.machines = r.u8();
    m.you = r.u8();
    for (const auto& f : multifields) {
        const int v = r.u8();
        if (v < f.lo || v > f.hi) r.fail();
        m.settings.*f.field = v;
    }
    // Every figure of the game has a machine, and every machine a figure: a machine without
    // one would be waited for and never send anything.
    std::array<bool, 4> seated{};
    for (int k = 0; k < 4; ++k) {
        m.seats[size_t(k)] = int8_t(r.u8());
        const int seat = m.seats[size_t(k)];
        if ((k < m.settings.players) != (seat >= 0) || seat >= m.machines) r.fail();
        if (seat >= 0 && seat < 4) seated[size_t(seat)] = true;
    }
    m.fireworks = r.u8();
    m.token = r.u64();
    bool everyone =
        m.machines >= 2 && m.machines <= 4 && m.you >= 1 && m.you < m.machines && m.fireworks <= 1;
    for (int seat = 0; seat < m.machines && everyone; ++seat) everyone = seated[size_t(seat)];
    return r.done() && everyone;
}

bool decode(const std::vector<uint8_t>& bytes, Parts& m) {
    Reader r(bytes, Message::Parts);
    m.game = r.u32();
    m.frame = int32_t(r.u32());
    m.acks.resize(std::min<size_t>(r.u8(), 4));
    for (auto& [machine, next] : m.acks) machine = r.u8(), next = int32_t(r.u32());
    const size_t blocks = r.u8();
    if (blocks > MAXBLOCKS) return false;
    m.blocks.clear();
    m.blocks.resize(blocks);
    for (PartBlock& b : m.blocks) {
        b.origin = r.u8();
        b.first = int32_t(r.u32());
        const size_t runs = r.u16();
        for (size_t i = 0; i < runs && r.ok; ++i) {
            const uint16_t count = r.u16();
            MatchInput part;
            if (!unpackinput(r.u32(), part) || b.parts.size() + count > MAXPARTS) r.fail();
            if (r.ok) b.parts.insert(b.parts.end(), count, part);
        }
        if (b.first < 0) r.fail();
    }
    return r.done();
}

bool decode(const std::vector<uint8_t>& bytes, Hash& m) {
    Reader r(bytes, Message::Hash);
    m.game = r.u32();
    m.frame = int32_t(r.u32());
    m.hash = r.u64();
    return r.done();
}

bool decode(const std::vector<uint8_t>& bytes, Over& m) {
    Reader r(bytes, Message::Over);
    const uint8_t reason = r.u8();
    m.reason = OverReason(reason);
    m.machine = r.u8();
    return r.done() && reason >= 1 && reason <= 4 && m.machine < 4;
}

bool decode(const std::vector<uint8_t>& bytes, Watch& m) {
    Reader r(bytes, Message::Watch);
    m.game = r.u32();
    m.start = r.str();
    return r.done();
}

// Runs a replay could hold: a record of the game's, a frame at least, a typed character and a
// pick in their ranges; the frames in all stay within a six-hour game.
bool decode(const std::vector<uint8_t>& bytes, Records& m) {
    Reader r(bytes, Message::Records);
    m.game = r.u32();
    m.first = int32_t(r.u32());
    const size_t runs = r.u16();
    if (runs > MOSTRUNS || m.first < 0 || m.first > REPLAY_MOST_FRAMES) return false;
    m.runs.clear();
    long frames = m.first;
    for (size_t i = 0; i < runs && r.ok; ++i) {
        MatchInput in;
        const uint32_t word = r.u32();
        const int pick = int16_t(r.u16());
        const int typed = r.u8();
        const uint32_t count = r.u32();
        frames += count;
        if (!unpackinput(word, in) || count < 1 || frames > REPLAY_MOST_FRAMES ||
            std::abs(pick) > 1000)
            r.fail();
        in.pick = pick;
        in.typed = typed;
        if (r.ok) m.runs.emplace_back(in, count);
    }
    return r.done();
}

bool decode(const std::vector<uint8_t>& bytes, Away& m) {
    Reader r(bytes, Message::Away);
    m.seat = r.u8();
    m.ms = r.u32();
    return r.done() && m.seat < 4 && m.ms <= 60000;
}

bool decode(const std::vector<uint8_t>& bytes, Resume& m) {
    Reader r(bytes, Message::Resume);
    m.game = r.u32();
    m.own = int32_t(r.u32());
    m.start = r.str();
    return r.done() && m.own >= 0 && m.own <= REPLAY_MOST_FRAMES;
}

bool decodewatchers(const std::vector<uint8_t>& bytes, int& watching) {
    Reader r(bytes, Message::Watchers);
    const int n = r.u8();
    if (r.done()) watching = n;
    return r.done();
}

std::vector<uint8_t> encodeecho(uint64_t stamp) {
    Writer w(Message::Echo);
    w.u64(stamp);
    return w.bytes;
}

bool decodeecho(const std::vector<uint8_t>& bytes, uint64_t& stamp) {
    Reader r(bytes, Message::Echo);
    stamp = r.u64();
    return r.done();
}

bool decoderefusal(const std::vector<uint8_t>& bytes, std::string& reason) {
    Reader r(bytes, Message::Refuse);
    reason = r.str();
    return r.done();
}
