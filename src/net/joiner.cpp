// A machine joining an online series; see joiner.h.
#include "net/joiner.h"
#include "runtime/text.h"
#include <algorithm>

Joiner::Joiner(std::unique_ptr<Transport> transport, const GameIdentity& identity, int players,
               uint64_t token)
    : Session(std::move(transport), identity, std::clamp(players, 1, 3)), token_(token) {}

// A start that names machines without figures, or figures without machines, would leave this
// machine waiting for parts that never come: it is refused.
void Joiner::handlestart(const std::vector<uint8_t>& bytes) {
    Start start;
    if (!decode(bytes, start)) {
        failure_ = "the host sent a start this game cannot play";
        return;
    }
    seed_ = start.seed;
    fireworks_ = start.fireworks;
    machines_ = start.machines;
    self_ = start.you;
    settings_ = start.settings;
    for (int k = 0; k < 4; ++k) figureseats_[size_t(k)] = start.seats[size_t(k)];
    // The same token back: the seat this machine had, in a game it must catch up on.
    comingback_ = token_ != 0 && start.token == token_;
    token_ = start.token;
    started_ = true;
}

void Joiner::handleresume(const std::vector<uint8_t>& bytes) {
    Resume resume;
    if (!comingback_ || !decode(bytes, resume) || resume.game == 0) {
        failure_ = "the host sent a start this game cannot play";
        return;
    }
    resumegame_ = resume.game;
    game_ = resume.game - 1; // the next game begun is that one
    resumed_ = resume.own;
    resumestart_ = resume.start;
}

void Joiner::begingame() {
    Session::begingame();
    if (game_ == resumegame_) {
        logs_[size_t(self_)].base = resumed_; // the frames before, the others have
        return;
    }
    resumed_ = 0;
    ownparts_.clear();
    for (auto& kept : kept_) kept.clear();
    resumestart_.clear();
}

bool Joiner::lobby() {
    int events = 0;
    // A machine coming back needs the game it comes back to as well.
    const auto ready = [&] { return started_ && (!comingback_ || resumegame_ != 0); };
    for (NetEvent e = transport_->poll(); e.kind != NetEvent::None && failure_.empty() && !ready();
         e = ++events < MOSTEVENTS ? transport_->poll() : NetEvent{}) {
        std::string reason;
        if (e.kind == NetEvent::Connected) {
            const Hello hello{identity_.version, identity_.figures, uint8_t(players_), token_};
            transport_->send(0, encode(hello), true);
        } else if (e.kind == NetEvent::Disconnected) {
            failure_ = "the host is not there";
            lost_ = true;
        } else if (decoderefusal(e.bytes, reason)) {
            failure_ = "the host refused: " + Printable(reason);
        } else if (kindof(e.bytes) == Message::Start) {
            handlestart(e.bytes);
        } else if (kindof(e.bytes) == Message::Resume) {
            handleresume(e.bytes);
        } else if (uint64_t stamp = 0; decodeecho(e.bytes, stamp)) {
            transport_->send(0, encodeecho(stamp), true); // straight back: the round trip
        } else {
            decodewatchers(e.bytes, watching_);
        }
    }
    if (failure_.empty() && !started_ && !transport_->trouble().empty()) {
        failure_ = transport_->trouble();
        lost_ = !transport_->refused(); // the server, or the way to it, may come back
    }
    if (ready()) heard_.fill(transport_->now());
    return ready() && failure_.empty();
}

void Joiner::tellover(const Over& over) {
    transport_->send(0, encode(over), true);
}

void Joiner::handle(const NetEvent& e, Rollback& rollback) {
    if (e.kind == NetEvent::Disconnected) {
        gone_[0] = true; // a failure only if the game still needs it (watch)
        return;
    }
    if (e.kind != NetEvent::Received) return;
    const auto kind = kindof(e.bytes);
    Parts parts;
    Over over;
    if (kind == Message::Parts && decode(e.bytes, parts)) {
        // Only what the game can use shows that the host is still there.
        if (handleparts(0, parts, rollback)) heard_[0] = transport_->now();
    } else if (kind == Message::Over && decode(e.bytes, over)) {
        handleover(over.machine, over.reason); // the host says who ended the series
    } else if (kind == Message::Watchers) {
        decodewatchers(e.bytes, watching_);
    } else if (Away away; kind == Message::Away && decode(e.bytes, away)) {
        // The host is there, waiting with everyone for a machine to come back.
        heard_[0] = transport_->now();
        awayseat_ = away.ms > 0 && away.seat < machines_ ? away.seat : -1;
        awayuntil_ = transport_->now() + away.ms;
    }
}

void Joiner::sendparts(Rollback& rollback) {
    Parts p;
    p.game = game_;
    p.frame = int32_t(rollback.frame());
    for (int o = 0; o < machines_; ++o) {
        const long kept = long(kept_[size_t(o)].size());
        if (o != self_) p.acks.push_back({uint8_t(o), int32_t(std::max(rollback.known(o), kept))});
    }
    // Coming back: how many of its own parts of the frames played before it has.
    if (long(ownparts_.size()) < resumed_)
        p.acks.push_back({uint8_t(self_), int32_t(ownparts_.size())});
    p.blocks.push_back(block(self_, acked_[0][size_t(self_)]));
    transport_->send(0, encode(p), false);
}

void Joiner::sendhashes(const Rollback& rollback) {
    for (; hashessent_ < rollback.hashes.size(); ++hashessent_) {
        const long frame = long(hashessent_ + 1) * HASHEVERY;
        transport_->send(0, encode(Hash{game_, int32_t(frame), rollback.hashes[hashessent_]}),
                         true);
    }
}
