// Meeting through the server: requests sent again until answered, keeping the room, the
// punches and the relay. See meeting.h.
#include "net/meeting.h"
#include <algorithm>

Meeting::Meeting(const Endpoint& server, const std::vector<Endpoint>& locals, long long now)
    : hosting_(true), server_(server), locals_(locals) {
    RzMessage m;
    m.kind = Rz::Register;
    request(0, m, now);
}

Meeting::Meeting(const Endpoint& server, const RoomCode& code, const std::vector<Endpoint>& locals,
                 long long now, bool noseat)
    : hosting_(false), server_(server), locals_(locals), open_(noseat), code_(code) {
    RzMessage m;
    m.kind = Rz::Join;
    m.code = code;
    request(0, m, now);
}

void Meeting::request(int socket, RzMessage m, long long now) {
    if (size_t(socket) >= cookies_.size()) cookies_.resize(size_t(socket) + 1, 0);
    m.cookie = cookies_[size_t(socket)];
    m.open = open_;
    m.locals = locals_;
    out_.push_back({socket, server_, encode(m)});
    if (unanswered_ == 0) unanswered_ = now;
    for (Pending& p : pending_) {
        if (p.socket == socket && p.m.kind == m.kind) return void(p = {socket, m, now});
    }
    pending_.push_back({socket, m, now});
}

void Meeting::punch(const Endpoint& to, uint64_t token, uint8_t answer) {
    RzMessage m;
    m.kind = Rz::Punch;
    m.token = token;
    m.answer = answer;
    out_.push_back({0, to, encode(m)});
}

void Meeting::received(int socket, const Endpoint& from, const RzMessage& m, long long now) {
    if (m.kind == Rz::Punch) return punched(from, m, now);
    if (from == server_) fromserver(socket, m, now);
}

void Meeting::fromserver(int socket, const RzMessage& m, long long now) {
    // A challenge is no answer: a server that only ever challenges does not answer.
    if (m.kind != Rz::Challenge) {
        unanswered_ = 0;
        answered_ = true;
        lost_ = false;
    }
    const auto answers = [&](Rz kind) {
        std::erase_if(pending_,
                      [&](const Pending& p) { return p.socket == socket && p.m.kind == kind; });
    };
    switch (m.kind) {
    case Rz::Challenge:
        if (size_t(socket) < cookies_.size()) cookies_[size_t(socket)] = m.cookie;
        for (Pending& p : pending_)
            if (p.socket == socket) request(socket, p.m, now);
        break;
    case Rz::Registered:
        if (!hosting_ || socket != 0) break;
        answers(Rz::Register);
        code_ = m.code;
        kept_ = now;
        break;
    case Rz::Found:
        if (hosting_ || found_) break;
        answers(Rz::Join);
        token_ = m.token;
        host_ = {m.other};
        for (const Endpoint& e : m.locals)
            if (e != m.other) host_.push_back(e);
        hostlocals_ = 1;
        found_ = now;
        break;
    case Rz::Refused:
        if (failure_.empty()) failure_ = refusaltext(m.refusal), refused_ = true;
        pending_.clear();
        break;
    case Rz::Joining:
        if (!hosting_) break;
        for (Guest& g : guests_) {
            if (g.token == m.token) return void(g.punchuntil = now + DIRECT_MS);
        }
        if (guests_.size() < 8) {
            Guest g{m.token, {m.other}, now + DIRECT_MS};
            for (const Endpoint& e : m.locals)
                if (e != m.other) g.addresses.push_back(e);
            guests_.push_back(g);
        }
        break;
    case Rz::Relay:
        for (Guest& g : guests_) {
            if (hosting_ && g.token == m.token && !g.wanted)
                g.wanted = true, wanted_.push_back(g.token);
        }
        break;
    case Rz::Relaying:
        answers(hosting_ ? Rz::Bind : Rz::Relay);
        if (!hosting_ && socket == 0 && askedrelay_ && !path_) path_ = Path{server_, true};
        for (Guest& g : guests_)
            if (g.socket == socket && socket > 0) g.bound = true;
        if (!hosting_) kept_ = now;
        break;
    default:
        break;
    }
}

void Meeting::punched(const Endpoint& from, const RzMessage& m, long long now) {
    if (hosting_) {
        for (const Guest& g : guests_) {
            if (g.token == m.token && m.answer == 0) punch(from, m.token, 1);
        }
        return;
    }
    const auto at = std::find(host_.begin(), host_.end(), from);
    if (m.token != token_ || at == host_.end() || path_) return;
    if (m.answer == 0) punch(from, m.token, 1);
    if (size_t(at - host_.begin()) >= hostlocals_) {
        path_ = Path{from, false};
    } else if (!answered_at_) {
        answered_at_ = from;
        answeredwhen_ = now;
    }
}

void Meeting::tick(long long now) {
    resend(now);
    if (unanswered_ && now - unanswered_ > SERVERSILENCE_MS) {
        lost_ = answered_;
        // A joiner still looking for its host cannot go on without the server.
        const bool looking = !hosting_ && !path_;
        if (failure_.empty() && (!answered_ || looking))
            failure_ = answered_ ? "THE SERVER STOPPED ANSWERING" : "THE SERVER DOES NOT ANSWER";
    }
    const bool punching = now - lastpunch_ >= PUNCH_MS;
    if (hosting_) {
        if (code_ && now - kept_ >= (relaying() ? KEEPRELAY_MS : KEEP_MS)) {
            kept_ = now;
            RzMessage m;
            m.kind = Rz::Register;
            request(0, m, now);
        }
        for (const Guest& g : guests_) {
            if (!punching || now >= g.punchuntil || g.bound) continue;
            for (const Endpoint& e : g.addresses) punch(e, g.token, 0);
        }
    } else if (found_ && !path_) {
        if (answered_at_ && now - answeredwhen_ >= PREFERLOCAL_MS)
            path_ = Path{*answered_at_, false};
        if (!askedrelay_ && now - found_ >= DIRECT_MS) {
            askedrelay_ = true;
            askrelay(now);
        }
        if (punching && !path_)
            for (const Endpoint& e : host_) punch(e, token_, 0);
    } else if (path_ && path_->relayed && now - kept_ >= KEEPRELAY_MS) {
        kept_ = now;
        askrelay(now);
    }
    if (punching) lastpunch_ = now;
}

void Meeting::askrelay(long long now) {
    RzMessage m;
    m.kind = Rz::Relay;
    m.code = *code_;
    m.token = token_;
    request(0, m, now);
}

void Meeting::resend(long long now) {
    for (Pending& p : pending_) {
        if (now - p.sent < REQUEST_MS) continue;
        p.sent = now;
        p.m.cookie = cookies_[size_t(p.socket)];
        out_.push_back({p.socket, server_, encode(p.m)});
    }
}

std::vector<Outbound> Meeting::take() {
    std::vector<Outbound> out;
    out.swap(out_);
    return out;
}

void Meeting::awaiting(int machines) {
    const uint8_t open = uint8_t(std::clamp(machines, 0, 3));
    if (open != open_) kept_ = 0; // the server hears at once, and turns away the next joiner
    open_ = open;
}

std::optional<uint64_t> Meeting::socketwanted() {
    if (wanted_.empty()) return std::nullopt;
    const uint64_t token = wanted_.front();
    wanted_.pop_front();
    return token;
}

void Meeting::opened(uint64_t token, int socket, long long now) {
    for (Guest& g : guests_) {
        if (g.token != token) continue;
        g.socket = socket;
        RzMessage m;
        m.kind = Rz::Bind;
        m.code = code_.value_or(RoomCode{});
        m.token = token;
        request(socket, m, now);
    }
}

bool Meeting::relaying() const {
    return std::any_of(guests_.begin(), guests_.end(), [](const Guest& g) { return g.bound; });
}
