// Rollback over the game's snapshots; see rollback.h.
#include "match/rollback.h"
#include "match/match.h"
#include "match/trace.h"
#include <algorithm>
#include <climits>

Rollback::Rollback(int peers, int self, std::array<int, 4> figures)
    : self_(self), figures_(figures), peers_(size_t(std::max(peers, 1))), touched_(LONG_MAX),
      over_(LONG_MAX) {}

long Rollback::known(int peer) const {
    return knownof(peers_[size_t(peer)]);
}

bool Rollback::step(long g) {
    const size_t at = size_t(g % RING);
    const bool press = used_[at].pause;
    pausedat_[at] = paused_;
    // Running, a press stops the game before the frame; paused, it goes on with this frame.
    playedat_[at] = paused_ == press;
    paused_ = paused_ != press;
    return playedat_[at];
}

void Rollback::checkover(const Tmatch& match, long g) {
    const bool leave = used_[size_t(g % RING)].leave;
    if (match.state != "end" && !leave) return;
    over_ = g + 1;
    left_ = leave && match.state != "end";
    for (int peer = 0; peer < int(peers_.size()) && left_; ++peer) {
        if ((peer == self_ ? localpart(g) : guess(peer, g)).leave) leaver_ = peer;
    }
}

MatchInput Rollback::guess(int peer, long frame) const {
    const Peer& p = peers_[size_t(peer)];
    const long offset = frame - p.base;
    if (offset >= 0 && offset < long(p.parts.size())) return p.parts[size_t(offset)];
    return p.last;
}

MatchInput Rollback::record(long frame, const MatchInput& local) const {
    MatchInput in;
    for (int peer = 0; peer < int(peers_.size()); ++peer) {
        const MatchInput part = peer == self_ ? local : guess(peer, frame);
        for (int k = 0; k < 4; ++k)
            if (figures_[k] == peer) in.figures[k] = part.figures[k];
        in.pause = in.pause || part.pause;
        in.enter = in.enter || part.enter;
        in.space = in.space || part.space;
        in.fillbar1 = in.fillbar1 || part.fillbar1;
        in.fillbar2 = in.fillbar2 || part.fillbar2;
        in.leave = in.leave || part.leave;
    }
    return in;
}

void Rollback::takeknown(Peer& p, long frame, const MatchInput& part) {
    const long next = knownof(p);
    if (frame < next || frame >= horizon()) return; // known already, or no game's
    if (frame > next) {
        p.early[size_t(frame % EARLY)] = {frame, part};
        return;
    }
    p.parts.push_back(part);
    // Parts that came before their turn now follow on, each once.
    for (Early* e = &p.early[size_t(knownof(p) % EARLY)]; e->frame == knownof(p);
         e = &p.early[size_t(knownof(p) % EARLY)]) {
        p.parts.push_back(e->part);
        e->frame = -1;
    }
    // A player keeps doing what they did last; a pause press is not held.
    p.last = p.parts.back();
    p.last.pause = false;
}

void Rollback::arrived(int peer, long frame, const MatchInput& part) {
    if (peer < 0 || peer >= int(peers_.size()) || peer == self_ || frame < 0) return;
    Peer& p = peers_[size_t(peer)];
    const long known = knownof(p);
    takeknown(p, frame, part);
    if (knownof(p) > known) touched_ = std::min(touched_, known);
}

const MatchInput& Rollback::localpart(long frame) const {
    const Peer& self = peers_[size_t(self_)];
    return self.parts[size_t(frame - self.base)];
}

void Rollback::correct(Tmatch& match) {
    // The frames before touched_ were played with what is still known of them.
    long from = -1;
    for (long g = std::max(touched_, final_); g < now_ && from < 0; ++g) {
        if (record(g, localpart(g)) != used_[size_t(g % RING)]) from = g;
    }
    touched_ = LONG_MAX;
    if (from >= 0) {
        restoresnapshot(match, snapshots_[size_t(from % RING)]);
        paused_ = pausedat_[size_t(from % RING)];
        const long played = now_;
        over_ = LONG_MAX;
        for (long g = from; g < played && now_ == played; ++g) {
            const size_t at = size_t(g % RING);
            if (g > from) savesnapshot(match, snapshots_[at]);
            used_[at] = record(g, localpart(g));
            if (step(g)) {
                match.input = used_[at];
                match.playframe(false);
                if (trace) lines_[at] = traceline(match);
            }
            checkover(match, g);
            if (over_ == g + 1) now_ = g + 1; // what came after the end is no game
        }
        stats.rollbacks += 1;
        stats.resimulated += played - from;
        stats.longest = std::max(stats.longest, played - from);
    }
    advancefinal();
}

MatchInput Rollback::begin(Tmatch& match, const MatchInput& local) {
    const size_t at = size_t(now_ % RING);
    savesnapshot(match, snapshots_[at]);
    takeknown(peers_[size_t(self_)], now_, local);
    used_[at] = record(now_, local);
    step(now_);
    return used_[at];
}

void Rollback::end(const Tmatch& match) {
    if (trace && playing()) lines_[size_t(now_ % RING)] = traceline(match);
    checkover(match, now_);
    ++now_;
    advancefinal();
}

void Rollback::advancefinal() {
    // A frame is final once every part of it is known and it was played with them.
    long known = std::min(now_, touched_);
    for (const Peer& p : peers_) known = std::min(known, knownof(p));
    for (; final_ < known; ++final_) {
        const size_t at = size_t(final_ % RING);
        if (!playedat_[at]) continue;
        // The state at the start of a frame, as a recording keeps it.
        if (finalplayed_ > 0 && finalplayed_ % HASHEVERY == 0) {
            hashes.push_back(statehash(snapshots_[at]));
        }
        ++finalplayed_;
        if (trace) trace->write(lines_[at]);
        if (replay) replay->add(used_[at]);
    }
    // Parts before the final frame are never looked at again; the last one stays the guess.
    for (Peer& p : peers_) {
        while (p.base < final_ && !p.parts.empty()) p.parts.pop_front(), ++p.base;
    }
}
