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
    const bool request = m && (m->kind == Rz::Register || m->kind == Rz::Join ||
                               m->kind == Rz::Relay || m->kind == Rz::Bind);
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
    // The room's allowance fills at its rate, up to a second's worth.
    Room& r = room->second;
    const double rate = limits_.relaykbps * 1000.0 / 8 / 1000; // bytes a millisecond
    r.allowance = std::min(rate * 1000, r.allowance + rate * double(now - r.refilled));
    r.refilled = now;
    if (r.allowance < double(size)) {
        ++counts_.overcap;
        return;
    }
    r.allowance -= double(size);
    end->second.used = now;
    out.push_back({end->second.other, std::vector<uint8_t>(data, data + size)});
    ++counts_.forwarded;
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

void RoomServer::join(const Endpoint& from, const RzMessage& m, long long now,
                      std::vector<Datagram>& out) {
    Quota* q = quota(from.ip, now);
    if (!q || q->wrongcodes >= WRONGCODES || q->joins >= JOINS)
        return out.push_back(refusal(from, RzRefusal::TooMany));
    ++q->joins;
    const auto room = rooms_.find(m.code);
    if (room == rooms_.end()) {
        ++q->wrongcodes;
        const bool closed = closed_.count(m.code) > 0;
        return out.push_back(refusal(from, closed ? RzRefusal::Closed : RzRefusal::UnknownCode));
    }
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
