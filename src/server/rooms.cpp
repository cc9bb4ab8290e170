// The rooms, the relays and the per-address counts. See rooms.h.
#include "server/rooms.h"
#include <algorithm>

namespace {

// A cookie holds for its period and the next, so one given just before a change still works.
constexpr long long COOKIE_MS = 30000;
constexpr long long MINUTE_MS = 60000;
// The codes of closed rooms are remembered this long, so a late joiner hears "closed".
constexpr long long CLOSEDLIFE_MS = 600000;
constexpr size_t MOSTCLOSED = 4096;
// Addresses counted at once; only addresses that showed their cookie are counted.
constexpr size_t MOSTQUOTAS = 65536;

uint64_t key(const Endpoint& e) {
    return uint64_t(e.ip) << 16 | e.port;
}

Datagram reply(const Endpoint& to, const RzMessage& m) {
    return {to, encode(m)};
}

// A message about a joiner of a room.
RzMessage about(Rz kind, const RoomCode& code, uint64_t token) {
    RzMessage m;
    m.kind = kind;
    m.code = code;
    m.token = token;
    return m;
}

// What a piece of a feed costs the server's memory: its bytes and their vector's own (a
// game's pieces are small, about 40 bytes).
size_t memoryof(const std::vector<uint8_t>& piece) {
    return piece.size() + sizeof(piece) + 16;
}

Datagram refusal(const Endpoint& to, RzRefusal why) {
    RzMessage m;
    m.kind = Rz::Refused;
    m.refusal = why;
    return reply(to, m);
}

} // namespace

RoomServer::RoomServer(const ServerLimits& limits, uint64_t k0, uint64_t k1)
    : limits_(limits), keyed_(k0, k1) {}

void RoomServer::receive(const Endpoint& from, const uint8_t* data, size_t size, long long now,
                         std::vector<Datagram>& out) {
    if (!isrendezvous(data, size)) return relay(from, data, size, now, out);
    const std::optional<RzMessage> m = decoderz(data, size);
    const bool request =
        m && (m->kind == Rz::Register || m->kind == Rz::Join || m->kind == Rz::Relay ||
              m->kind == Rz::Bind || m->kind == Rz::Feed || m->kind == Rz::Pull);
    if (!request) {
        ++counts_.malformed;
        return;
    }
    const long long period = now / COOKIE_MS;
    if (m->cookie != keyed_.cookie(from, period) && m->cookie != keyed_.cookie(from, period - 1)) {
        // Smaller than the request it answers: a forged source gains nothing by it.
        RzMessage challenge;
        challenge.cookie = keyed_.cookie(from, period);
        out.push_back(reply(from, challenge));
        ++counts_.challenged;
        return;
    }
    handle(from, *m, now, out);
}

void RoomServer::relay(const Endpoint& from, const uint8_t* data, size_t size, long long now,
                       std::vector<Datagram>& out) {
    const auto end = relays_.find(key(from));
    const auto room = end == relays_.end() ? rooms_.end() : rooms_.find(end->second.code);
    if (room == rooms_.end() || size > LARGESTRELAYED) {
        ++counts_.unknown;
        return;
    }
    if (!room->second.allowance.spend(size, limits_.relaykbps, now)) {
        ++counts_.overcap;
        return;
    }
    end->second.used = now;
    out.push_back({end->second.other, std::vector<uint8_t>(data, data + size)});
    ++counts_.forwarded;
}

bool RoomServer::Allowance::spend(size_t size, int kbps, long long now) {
    const double rate = kbps * 1000.0 / 8 / 1000; // bytes a millisecond
    bytes = std::min(rate * 1000, bytes + rate * double(now - refilled));
    refilled = now;
    if (bytes < double(size)) return false;
    bytes -= double(size);
    return true;
}

void RoomServer::handle(const Endpoint& from, const RzMessage& m, long long now,
                        std::vector<Datagram>& out) {
    switch (m.kind) {
    case Rz::Register:
        return registerroom(from, m, now, out);
    case Rz::Join:
        return join(from, m, now, out);
    case Rz::Relay:
        return askrelay(from, m, now, out);
    case Rz::Bind:
        return bind(from, m, now, out);
    case Rz::Feed:
        return feed(from, m, now, out);
    case Rz::Pull:
        return pull(from, m, now, out);
    default:
        return;
    }
}

RoomServer::Quota* RoomServer::quota(uint32_t ip, long long now) {
    auto at = quotas_.find(ip);
    if (at == quotas_.end()) {
        if (quotas_.size() >= MOSTQUOTAS) return nullptr;
        at = quotas_.emplace(ip, Quota{now}).first;
    }
    Quota& q = at->second;
    if (now - q.since >= MINUTE_MS) q = Quota{now, 0, 0, 0, q.rooms};
    return &q;
}

RoomCode RoomServer::freshcode() {
    constexpr size_t letters = sizeof CODEALPHABET - 1;
    for (;;) {
        uint64_t bits = keyed_.next();
        RoomCode code;
        for (char& ch : code) ch = CODEALPHABET[bits % letters], bits /= letters;
        if (!rooms_.count(code) && !closed_.count(code)) return code;
    }
}

void RoomServer::registerroom(const Endpoint& from, const RzMessage& m, long long now,
                              std::vector<Datagram>& out) {
    auto held = byhost_.find(from);
    if (held == byhost_.end()) {
        Quota* q = quota(from.ip, now);
        if (!q || q->newrooms >= NEWROOMS || q->rooms >= ROOMSPERADDRESS)
            return out.push_back(refusal(from, RzRefusal::TooMany));
        if (rooms_.size() >= size_t(limits_.maxrooms))
            return out.push_back(refusal(from, RzRefusal::ServerFull));
        ++q->newrooms, ++q->rooms;
        const RoomCode code = freshcode();
        rooms_[code].host = from;
        rooms_[code].feed.fed = now; // the host feeds from its room's first second
        held = byhost_.emplace(from, code).first;
    }
    Room& room = rooms_.at(held->second);
    room.seen = now;
    room.open = m.open;
    room.locals = m.locals;
    RzMessage answer;
    answer.kind = Rz::Registered;
    answer.code = held->second;
    answer.seen = from;
    out.push_back(reply(from, answer));
}

// The room a machine asks for by its code, counted as a join of its address (and a wrong code
// when there is none); the end of the rooms when it is refused, the refusal sent.
std::map<RoomCode, RoomServer::Room>::iterator RoomServer::askfor(const Endpoint& from,
                                                                  const RoomCode& code,
                                                                  long long now,
                                                                  std::vector<Datagram>& out) {
    Quota* q = quota(from.ip, now);
    if (!q || q->wrongcodes >= WRONGCODES || q->joins >= JOINS) {
        out.push_back(refusal(from, RzRefusal::TooMany));
        return rooms_.end();
    }
    ++q->joins;
    const auto room = rooms_.find(code);
    if (room == rooms_.end()) {
        ++q->wrongcodes;
        const bool closed = closed_.count(code) > 0;
        out.push_back(refusal(from, closed ? RzRefusal::Closed : RzRefusal::UnknownCode));
    }
    return room;
}

void RoomServer::join(const Endpoint& from, const RzMessage& m, long long now,
                      std::vector<Datagram>& out) {
    const auto room = askfor(from, m.code, now, out);
    if (room == rooms_.end()) return;
    Room& r = room->second;
    auto guest = std::find_if(r.guests.begin(), r.guests.end(),
                              [&](const Guest& g) { return g.at == from; });
    if (guest == r.guests.end()) {
        // A full room still lets in a machine that takes no new seat (a spectator, or one
        // coming back to its seat): the host knows them.
        if ((r.open == 0 && m.open == 0) || r.guests.size() >= GUESTSPERROOM)
            return out.push_back(refusal(from, RzRefusal::Full));
        r.guests.push_back({keyed_.next(), from});
        guest = r.guests.end() - 1;
    }
    guest->asked = now;
    RzMessage found = about(Rz::Found, m.code, guest->token);
    found.seen = from;
    found.other = r.host;
    found.locals = r.locals;
    out.push_back(reply(from, found));
    RzMessage joining = about(Rz::Joining, m.code, guest->token);
    joining.other = from;
    joining.locals = m.locals;
    out.push_back(reply(r.host, joining));
}

void RoomServer::askrelay(const Endpoint& from, const RzMessage& m, long long now,
                          std::vector<Datagram>& out) {
    const auto room = rooms_.find(m.code);
    if (room == rooms_.end()) return;
    for (Guest& g : room->second.guests) {
        if (g.token != m.token || g.at != from) continue;
        g.relay = true;
        g.asked = now;
        RzMessage ask = about(Rz::Relay, m.code, m.token);
        ask.other = from;
        out.push_back(reply(room->second.host, ask));
        if (relays_.count(key(from)))
            out.push_back(reply(from, about(Rz::Relaying, m.code, m.token)));
    }
}

void RoomServer::bind(const Endpoint& from, const RzMessage& m, long long now,
                      std::vector<Datagram>& out) {
    const auto room = rooms_.find(m.code);
    if (room == rooms_.end()) return;
    for (const Guest& g : room->second.guests) {
        if (g.token != m.token || !g.relay || g.at == from) continue;
        const auto present = relays_.find(key(from));
        if (present == relays_.end() || present->second.other != g.at) {
            closerelay(from);
            closerelay(g.at);
            relays_[key(from)] = {g.at, m.code, now};
            relays_[key(g.at)] = {from, m.code, now};
        }
        const RzMessage open = about(Rz::Relaying, m.code, m.token);
        out.push_back(reply(from, open));
        out.push_back(reply(g.at, open));
        return;
    }
}

Datagram RoomServer::fed(const RoomCode& code, const Room& room) {
    RzMessage m = about(Rz::Fed, code, 0);
    m.piece = room.feed.next;
    m.present = uint8_t(room.feed.watchers.size());
    return reply(room.host, m);
}

// Only the room's own host feeds it, each piece in its turn; a piece again, or one ahead of
// its turn, is only answered with what the room holds.
void RoomServer::feed(const Endpoint& from, const RzMessage& m, long long now,
                      std::vector<Datagram>& out) {
    const auto held = byhost_.find(from);
    if (held == byhost_.end() || held->second != m.code) return;
    Room& room = rooms_.at(m.code);
    Feed& feed = room.feed;
    feed.fed = now;
    // A piece that came before the one missing is kept (a window of them at most), so one
    // lost datagram costs the host that piece again, not all after it.
    if (!m.bytes.empty() && m.piece - feed.next - 1 < FEEDWINDOW - 1 &&
        !feed.ahead.count(m.piece)) {
        feed.ahead[m.piece] = m;
        feedbytes_ += memoryof(m.bytes) + sizeof(RzMessage);
    }
    if (!m.bytes.empty() && m.piece == feed.next) take(feed, m);
    for (auto at = feed.ahead.find(feed.next); at != feed.ahead.end();
         at = feed.ahead.find(feed.next)) {
        feedbytes_ -= memoryof(at->second.bytes) + sizeof(RzMessage);
        const RzMessage next = std::move(at->second);
        feed.ahead.erase(at);
        take(feed, next);
    }
    out.push_back(fed(m.code, room));
}

void RoomServer::take(Feed& feed, const RzMessage& m) {
    ++feed.next;
    if (m.flag) {
        // A game begins: the one before it is kept for spectators still watching it, and the
        // feed that was too long begins again.
        if (feed.over) forget(feed, m.piece), feed.over = false;
        feed.starts.push_back(m.piece);
        if (feed.starts.size() > 2) feed.starts.pop_front(), forget(feed, feed.starts.front());
    }
    if (feed.over) return;
    if (feed.bytes + memoryof(m.bytes) > ROOMFEED ||
        feedbytes_ + memoryof(m.bytes) > size_t(limits_.feedmegabytes) * 1024 * 1024) {
        forget(feed, feed.next);
        feed.over = true;
        return;
    }
    if (feed.pieces.empty()) feed.first = m.piece;
    feed.pieces.push_back(m.bytes);
    feed.bytes += memoryof(m.bytes);
    feedbytes_ += memoryof(m.bytes);
}

void RoomServer::forget(Feed& feed, uint32_t before) {
    while (!feed.pieces.empty() && feed.first < before) {
        feed.bytes -= memoryof(feed.pieces.front());
        feedbytes_ -= memoryof(feed.pieces.front());
        feed.pieces.pop_front();
        ++feed.first;
    }
    if (feed.pieces.empty()) feed.first = before;
}

// A spectator asks for the room's feed: where the newest game begins, or the pieces from one
// on. Up to WATCHERSPERROOM machines are fed, each counted as a join of its address.
void RoomServer::pull(const Endpoint& from, const RzMessage& m, long long now,
                      std::vector<Datagram>& out) {
    auto room = rooms_.find(m.code);
    if (room == rooms_.end() || !watches(room->second.feed, from, now)) {
        room = askfor(from, m.code, now, out);
        if (room == rooms_.end()) return;
        if (room->second.feed.watchers.size() >= WATCHERSPERROOM)
            return out.push_back(refusal(from, RzRefusal::Watched));
        room->second.feed.watchers.push_back({from, now});
        // The host begins feeding when the first machine watches.
        out.push_back(fed(m.code, room->second));
    }
    const Feed& feed = room->second.feed;
    if (m.flag) {
        RzMessage start = about(Rz::Piece, m.code, 0);
        start.piece = feed.starts.empty() ? feed.next : feed.starts.back();
        start.flag = fedlately(room->second, now);
        return out.push_back(reply(from, start));
    }
    if (feed.over || m.piece < feed.first)
        return out.push_back(refusal(from, RzRefusal::Unwatchable));
    serve(m.code, room->second, from, m.piece, now, out);
}

bool RoomServer::watches(Feed& feed, const Endpoint& from, long long now) {
    for (Feed::Watcher& w : feed.watchers)
        if (w.at == from) return w.pulled = now, true;
    return false;
}

bool RoomServer::fedlately(const Room& room, long long now) {
    return now - room.feed.fed < FEEDSILENCE_MS;
}

// The pieces asked for, a window of them at most and within the room's allowance; then, when
// the spectator has all there is, an empty piece to say so (and whether the host still feeds).
void RoomServer::serve(const RoomCode& code, Room& room, const Endpoint& to, uint32_t from,
                       long long now, std::vector<Datagram>& out) {
    Feed& feed = room.feed;
    RzMessage piece = about(Rz::Piece, code, 0);
    piece.flag = fedlately(room, now);
    uint32_t n = from;
    for (; n < feed.next && n - from < FEEDWINDOW; ++n) {
        piece.piece = n;
        piece.bytes = feed.pieces[n - feed.first];
        if (!feed.allowance.spend(piece.bytes.size(), limits_.watchkbps, now)) return;
        out.push_back(reply(to, piece));
        ++counts_.pieces;
    }
    if (n - from >= FEEDWINDOW) return;
    piece.piece = n;
    piece.bytes.clear();
    out.push_back(reply(to, piece));
}

void RoomServer::closerelay(const Endpoint& end) {
    const auto at = relays_.find(key(end));
    if (at == relays_.end()) return;
    relays_.erase(key(at->second.other));
    relays_.erase(at);
}

void RoomServer::close(std::map<RoomCode, Room>::iterator room, long long now) {
    for (const Guest& g : room->second.guests) closerelay(g.at);
    const auto q = quotas_.find(room->second.host.ip);
    if (q != quotas_.end() && q->second.rooms > 0) --q->second.rooms;
    Feed& feed = room->second.feed;
    forget(feed, feed.next);
    for (const auto& [number, piece] : feed.ahead)
        feedbytes_ -= memoryof(piece.bytes) + sizeof(RzMessage);
    byhost_.erase(room->second.host);
    closed_[room->first] = now;
    closedorder_.push_back(room->first);
    rooms_.erase(room);
}

void RoomServer::expire(long long now) {
    for (auto room = rooms_.begin(); room != rooms_.end();) {
        const auto next = std::next(room);
        Room& r = room->second;
        if (now - r.seen > ROOMLIFE_MS) {
            close(room, now);
        } else {
            // A joiner that stopped asking and has no relay is forgotten; its place is free.
            std::erase_if(r.guests, [&](const Guest& g) {
                return now - g.asked > ROOMLIFE_MS && !relays_.count(key(g.at));
            });
            std::erase_if(r.feed.watchers,
                          [&](const Feed::Watcher& w) { return now - w.pulled > WATCHERLIFE_MS; });
        }
        room = next;
    }
    for (auto end = relays_.begin(); end != relays_.end();) {
        const auto other = relays_.find(key(end->second.other));
        const long long used =
            std::max(end->second.used, other == relays_.end() ? 0 : other->second.used);
        if (now - used > RELAYLIFE_MS || !rooms_.count(end->second.code)) {
            if (other != relays_.end() && other != end) relays_.erase(other);
            end = relays_.erase(end);
        } else {
            ++end;
        }
    }
    while (!closedorder_.empty() && (closedorder_.size() > MOSTCLOSED ||
                                     now - closed_.at(closedorder_.front()) > CLOSEDLIFE_MS)) {
        closed_.erase(closedorder_.front());
        closedorder_.pop_front();
    }
    std::erase_if(quotas_, [&](const auto& q) {
        return q.second.rooms == 0 && now - q.second.since >= MINUTE_MS;
    });
}
