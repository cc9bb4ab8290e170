// The rendezvous messages as bytes: "VXR", the kind, the cookie, then the kind's fields in
// network order, zeros after them up to the request size. See rendezvous.h.
#include "net/rendezvous.h"
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint8_t MAGIC[3] = {'V', 'X', 'R'};
constexpr size_t HEADER = 12;

// Requests are padded to the request size, but for a piece of a feed: it is longer than
// anything the server answers it with.
bool padded(Rz kind) {
    return kind == Rz::Register || kind == Rz::Join || kind == Rz::Relay || kind == Rz::Bind ||
           kind == Rz::Discover || kind == Rz::Pull;
}

class Out {
  public:
    explicit Out(const RzMessage& m) {
        bytes.assign(MAGIC, MAGIC + 3);
        bytes.push_back(uint8_t(m.kind));
        put(m.cookie, 8);
    }
    void put(uint64_t v, int n) {
        for (int i = n - 1; i >= 0; --i) bytes.push_back(uint8_t(v >> (8 * i)));
    }
    void code(const RoomCode& c) { bytes.insert(bytes.end(), c.begin(), c.end()); }
    void endpoint(const Endpoint& e) { put(e.ip, 4), put(e.port, 2); }
    void piece(const RzMessage& m) {
        const size_t n = std::min(m.bytes.size(), PIECESIZE);
        put(m.piece, 4), put(m.flag, 1), put(n, 2);
        bytes.insert(bytes.end(), m.bytes.begin(), m.bytes.begin() + long(n));
    }
    void locals(const std::vector<Endpoint>& list) {
        const size_t n = std::min(list.size(), MOSTLOCALS);
        put(n, 1);
        for (size_t i = 0; i < n; ++i) endpoint(list[i]);
    }
    std::vector<uint8_t> bytes;
};

class In {
  public:
    In(const uint8_t* data, size_t size) : data_(data), size_(size), at_(HEADER) {}
    uint64_t get(int n) {
        if (at_ + size_t(n) > size_) return ok = false, 0;
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 8 | data_[at_++];
        return v;
    }
    RoomCode code() {
        RoomCode c{};
        if (at_ + c.size() > size_) return ok = false, c;
        std::memcpy(c.data(), data_ + at_, c.size());
        at_ += c.size();
        return c;
    }
    Endpoint endpoint() {
        Endpoint e;
        e.ip = uint32_t(get(4));
        e.port = uint16_t(get(2));
        return e;
    }
    // A piece of a feed: its number, its flag, its bytes.
    void piece(RzMessage& m) {
        m.piece = uint32_t(get(4)), m.flag = uint8_t(get(1));
        const size_t n = get(2);
        if (n > PIECESIZE || m.flag > 1 || at_ + n > size_) ok = false;
        if (ok) m.bytes.assign(data_ + at_, data_ + at_ + n), at_ += n;
    }
    std::vector<Endpoint> locals() {
        const size_t n = get(1);
        if (n > MOSTLOCALS) ok = false;
        std::vector<Endpoint> list;
        for (size_t i = 0; i < n && ok; ++i) list.push_back(endpoint());
        return list;
    }
    // Only zeros may follow the fields.
    bool finished() const {
        for (size_t i = at_; ok && i < size_; ++i)
            if (data_[i] != 0) return false;
        return ok;
    }
    bool ok = true;

  private:
    const uint8_t* data_;
    size_t size_, at_;
};

bool validcode(const RoomCode& c) {
    for (char ch : c)
        if (ch == 0 || !std::strchr(CODEALPHABET, ch)) return false;
    return true;
}

} // namespace

std::string describe(const Endpoint& e) {
    return std::to_string(e.ip >> 24) + "." + std::to_string(e.ip >> 16 & 255) + "." +
           std::to_string(e.ip >> 8 & 255) + "." + std::to_string(e.ip & 255) + ":" +
           std::to_string(e.port);
}

bool parseendpoint(const std::string& text, Endpoint& e) {
    unsigned a, b, c, d, port;
    char tail;
    if (std::sscanf(text.c_str(), "%3u.%3u.%3u.%3u:%5u%c", &a, &b, &c, &d, &port, &tail) != 5)
        return false;
    if (a > 255 || b > 255 || c > 255 || d > 255 || port < 1 || port > 65535) return false;
    e = {a << 24 | b << 16 | c << 8 | d, uint16_t(port)};
    return true;
}

std::optional<RoomCode> parsecode(const std::string& text) {
    size_t from = text.find_first_not_of(' '), to = text.find_last_not_of(' ');
    if (from == std::string::npos || to - from + 1 != CODELENGTH) return std::nullopt;
    RoomCode code{};
    for (int i = 0; i < CODELENGTH; ++i) {
        const char ch = text[from + size_t(i)];
        code[size_t(i)] = ch >= 'a' && ch <= 'z' ? char(ch - 'a' + 'A') : ch;
    }
    if (!validcode(code)) return std::nullopt;
    return code;
}

std::string describe(const RoomCode& code) {
    return std::string(code.begin(), code.end());
}

std::vector<uint8_t> encode(const RzMessage& m) {
    Out out(m);
    switch (m.kind) {
    case Rz::Challenge:
        break;
    case Rz::Register:
        out.put(m.open, 1), out.locals(m.locals);
        break;
    case Rz::Registered:
        out.code(m.code), out.endpoint(m.seen);
        break;
    case Rz::Join:
        out.code(m.code), out.put(m.open, 1), out.locals(m.locals);
        break;
    case Rz::Found:
        out.code(m.code), out.put(m.token, 8), out.endpoint(m.seen), out.endpoint(m.other);
        out.locals(m.locals);
        break;
    case Rz::Joining:
        out.code(m.code), out.put(m.token, 8), out.endpoint(m.other), out.locals(m.locals);
        break;
    case Rz::Refused:
        out.put(uint8_t(m.refusal), 1);
        break;
    case Rz::Relay:
        out.code(m.code), out.put(m.token, 8), out.endpoint(m.other);
        break;
    case Rz::Bind:
    case Rz::Relaying:
        out.code(m.code), out.put(m.token, 8);
        break;
    case Rz::Punch:
        out.put(m.token, 8), out.put(m.answer, 1);
        break;
    case Rz::Discover:
        out.put(m.token, 8);
        break;
    case Rz::Here: {
        const size_t n = std::min(m.name.size(), NAMELENGTH);
        out.put(m.token, 8), out.put(m.present, 1), out.put(m.wanted, 1), out.put(n, 1);
        out.bytes.insert(out.bytes.end(), m.name.begin(), m.name.begin() + long(n));
        break;
    }
    case Rz::Feed:
    case Rz::Piece:
        out.code(m.code), out.piece(m);
        break;
    case Rz::Fed:
        out.code(m.code), out.put(m.piece, 4), out.put(m.present, 1);
        break;
    case Rz::Pull:
        out.code(m.code), out.put(m.piece, 4), out.put(m.flag, 1);
        break;
    }
    if (padded(m.kind)) out.bytes.resize(REQUESTSIZE, 0);
    return out.bytes;
}

bool isrendezvous(const uint8_t* data, size_t size) {
    return size >= HEADER && std::memcmp(data, MAGIC, 3) == 0;
}

std::optional<RzMessage> decoderz(const uint8_t* data, size_t size) {
    if (!isrendezvous(data, size) || size > LARGESTRZ) return std::nullopt;
    if (data[3] < uint8_t(Rz::Challenge) || data[3] > uint8_t(Rz::Piece)) return std::nullopt;
    RzMessage m;
    m.kind = Rz(data[3]);
    // Only a piece of a feed is longer than a request.
    const bool piece = m.kind == Rz::Feed || m.kind == Rz::Piece;
    if (!piece && size > REQUESTSIZE) return std::nullopt;
    In in(data, size);
    for (int i = 4; i < 12; ++i) m.cookie = m.cookie << 8 | data[i];
    switch (m.kind) {
    case Rz::Challenge:
        break;
    case Rz::Register:
        m.open = uint8_t(in.get(1)), m.locals = in.locals();
        break;
    case Rz::Registered:
        m.code = in.code(), m.seen = in.endpoint();
        break;
    case Rz::Join:
        m.code = in.code(), m.open = uint8_t(in.get(1)), m.locals = in.locals();
        break;
    case Rz::Found:
        m.code = in.code(), m.token = in.get(8), m.seen = in.endpoint(), m.other = in.endpoint();
        m.locals = in.locals();
        break;
    case Rz::Joining:
        m.code = in.code(), m.token = in.get(8), m.other = in.endpoint(), m.locals = in.locals();
        break;
    case Rz::Refused: {
        const uint64_t why = in.get(1);
        if (why < uint8_t(RzRefusal::UnknownCode) || why > uint8_t(RzRefusal::Unwatchable))
            return std::nullopt;
        m.refusal = RzRefusal(why);
        break;
    }
    case Rz::Relay:
        m.code = in.code(), m.token = in.get(8), m.other = in.endpoint();
        break;
    case Rz::Bind:
    case Rz::Relaying:
        m.code = in.code(), m.token = in.get(8);
        break;
    case Rz::Punch:
        m.token = in.get(8), m.answer = uint8_t(in.get(1));
        if (m.answer > 1) return std::nullopt;
        break;
    case Rz::Discover:
        m.token = in.get(8);
        break;
    case Rz::Here: {
        m.token = in.get(8), m.present = uint8_t(in.get(1)), m.wanted = uint8_t(in.get(1));
        const size_t n = in.get(1);
        if (n > NAMELENGTH || m.present > 4 || m.wanted > 4) return std::nullopt;
        for (size_t i = 0; i < n && in.ok; ++i) {
            const char c = char(in.get(1));
            if (c < ' ' || c > '~') return std::nullopt;
            m.name += c;
        }
        break;
    }
    case Rz::Feed:
    case Rz::Piece:
        m.code = in.code(), in.piece(m);
        break;
    case Rz::Fed:
        m.code = in.code(), m.piece = uint32_t(in.get(4)), m.present = uint8_t(in.get(1));
        if (m.present > WATCHERSPERROOM) return std::nullopt;
        break;
    case Rz::Pull:
        m.code = in.code(), m.piece = uint32_t(in.get(4)), m.flag = uint8_t(in.get(1));
        if (m.flag > 1) return std::nullopt;
        break;
    }
    if (!in.finished()) return std::nullopt;
    if (padded(m.kind) && size != REQUESTSIZE) return std::nullopt;
    const bool hascode = m.kind != Rz::Challenge && m.kind != Rz::Register &&
                         m.kind != Rz::Refused && m.kind != Rz::Punch && m.kind != Rz::Discover &&
                         m.kind != Rz::Here;
    if (hascode && !validcode(m.code)) return std::nullopt;
    return m;
}

const char* refusaltext(RzRefusal refusal) {
    switch (refusal) {
    case RzRefusal::UnknownCode:
        return "NO GAME HAS THAT ROOM CODE";
    case RzRefusal::Closed:
        return "THAT GAME HAS CLOSED";
    case RzRefusal::Full:
        return "THAT GAME IS FULL";
    case RzRefusal::TooMany:
        return "TOO MANY TRIES: WAIT A MINUTE";
    case RzRefusal::ServerFull:
        return "THE SERVER IS FULL: TRY LATER";
    case RzRefusal::Watched:
        return "8 MACHINES WATCH THAT GAME ALREADY";
    case RzRefusal::Unwatchable:
        return "THE SERVER CANNOT SHOW THAT GAME";
    }
    return "REFUSED";
}
