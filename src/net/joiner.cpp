// A machine joining an online series; see joiner.h.
#include "net/joiner.h"
#include "runtime/text.h"
#include <algorithm>

Joiner::Joiner(std::unique_ptr<Transport> transport, const GameIdentity& identity, int players)
    : Session(std::move(transport), identity, std::clamp(players, 1, 3)) {}

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
    started_ = true;
}

bool Joiner::lobby() {
    int events = 0;
    for (NetEvent e = transport_->poll(); e.kind != NetEvent::None && failure_.empty() && !started_;
         e = ++events < MOSTEVENTS ? transport_->poll() : NetEvent{}) {
        std::string reason;
        if (e.kind == NetEvent::Connected) {
            const Hello hello{identity_.version, identity_.figures, uint8_t(players_)};
            transport_->send(0, encode(hello), true);
        } else if (e.kind == NetEvent::Disconnected) {
            failure_ = "the host is not there";
        } else if (decoderefusal(e.bytes, reason)) {
            failure_ = "the host refused: " + Printable(reason);
        } else if (kindof(e.bytes) == Message::Start) {
            handlestart(e.bytes);
        } else if (uint64_t stamp = 0; decodeecho(e.bytes, stamp)) {
            transport_->send(0, encodeecho(stamp), true); // straight back: the round trip
        } else {
            decodewatchers(e.bytes, watching_);
        }
    }
    if (failure_.empty() && !started_) failure_ = transport_->trouble();
    if (started_) heard_.fill(transport_->now());
    return started_ && failure_.empty();
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
    }
}

void Joiner::sendparts(Rollback& rollback) {
    Parts p;
    p.game = game_;
    p.frame = int32_t(rollback.frame());
    for (int o = 0; o < machines_; ++o)
        if (o != self_) p.acks.push_back({uint8_t(o), int32_t(rollback.known(o))});
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
