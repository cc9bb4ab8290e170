// What the host and the joining machines share; see session.h. Seats are the machines in the
// game's order: seat 0 is the host, whose players have the first figures, seat k the k-th
// machine the host let in, whose players have the figures after those of seat k - 1.
#include "net/session.h"
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr long long SEND_EVERY_MS = 15; // parts go out with every frame, at least this often
constexpr size_t MOST_PER_BLOCK = 256;  // frames of one machine in one packet
// A log of parts the others have not all acknowledged: 20 s of play, far beyond any machine
// that still answers.
constexpr size_t LONGESTLOG = 1200;

// A part kept packed (what a part sent to another machine holds).
MatchInput unpacked(uint32_t word) {
    MatchInput part;
    unpackinput(word, part);
    return part;
}

} // namespace

Session::Session(std::unique_ptr<Transport> transport, const GameIdentity& identity, int players)
    : transport_(std::move(transport)), identity_(identity), players_(players) {
    for (auto& row : acked_) row.fill(0);
}

std::vector<int> Session::myfigures() const {
    std::vector<int> mine;
    for (int k = 0; k < 4; ++k)
        if (figureseats_[size_t(k)] == self_) mine.push_back(k);
    return mine;
}

std::string Session::player(int seat) const {
    for (int k = 0; k < 4; ++k)
        if (figureseats_[size_t(k)] == seat) return "PLAYER " + std::to_string(k + 1);
    return "A PLAYER";
}

void Session::begingame() {
    ++game_;
    heard_.fill(transport_->now());
    for (Log& log : logs_) log = Log{};
    for (auto& parts : history_) parts.clear();
    senttimes_.clear();
    for (auto& row : acked_) row.fill(0);
    ahead_.fill(false);
    gone_.fill(false);
    reported_.fill(0);
    reportedat_.fill(0);
    hashessent_ = 0;
}

void Session::played(long frame, const MatchInput& part) {
    Log& mine = logs_[size_t(self_)];
    if (frame == mine.end()) {
        mine.parts.push_back(part), senttimes_.push_back(transport_->now());
        if (relays()) history_[size_t(self_)].push_back(packinput(part));
    }
    newpart_ = true;
}

int Session::countdown() const {
    if (awayseat_ < 0) return -1;
    return int(std::max(0LL, (awayuntil_ - transport_->now() + 999) / 1000));
}

void Session::fail(OverReason reason, int seat, bool tell) {
    if (!failure_.empty()) return;
    failure_ = reason == OverReason::OutOfSync    ? "OUT OF SYNC"
               : reason == OverReason::ServerLost ? "THE SERVER STOPPED ANSWERING"
               : reason == OverReason::Silent     ? player(seat) + " STOPPED ANSWERING"
                                                  : player(seat) + " LEFT THE GAME";
    if (tell) tellover({reason, uint8_t(std::max(seat, 0))});
}

void Session::handleover(int who, OverReason reason) {
    // Never the end of a machine that is no machine of the game, nor of this one but out of
    // step.
    if (who >= machines_ || (who == self_ && reason != OverReason::OutOfSync)) return;
    fail(reason, who, relays());
}

bool Session::handleparts(int seat, const Parts& parts, Rollback& rollback) {
    if (parts.game < game_) return false; // from the game before: our later packets tell it is over
    if (parts.game > game_) {             // that machine has the whole of this game
        ahead_[size_t(seat)] = true;
        return true;
    }
    if (parts.frame > reported_[size_t(seat)] || reportedat_[size_t(seat)] == 0) {
        reported_[size_t(seat)] = parts.frame;
        reportedat_[size_t(seat)] = transport_->now();
    }
    bool usable = false;
    for (const auto& [origin, next] : parts.acks) {
        if (origin >= machines_) continue;
        // No machine has more of a log than was sent to it.
        long& acked = acked_[size_t(seat)][origin];
        const long now = std::min(long(next), logs_[size_t(origin)].end());
        usable = usable || now > acked;
        acked = std::max(acked, now);
    }
    for (const PartBlock& block : parts.blocks) {
        const int origin = block.origin;
        if (origin == self_ && !relays()) usable = takeown(block) || usable;
        if (origin >= machines_ || origin == self_ || (relays() && origin != seat)) continue;
        Log& log = logs_[size_t(origin)];
        const long known = rollback.known(origin);
        // Only the frames that can still matter are looked at, however long the block.
        const long from =
            std::max(long(block.first), relays() ? std::min(log.end(), known) : known);
        const long to = std::min(block.first + long(block.parts.size()), rollback.horizon());
        for (long frame = from; frame < to; ++frame) {
            const MatchInput& part = block.parts[size_t(frame - block.first)];
            if (relays() && frame == log.end()) {
                log.parts.push_back(part);
                history_[size_t(origin)].push_back(packinput(part));
            }
            rollback.arrived(origin, frame, part);
        }
        usable = keepahead(block) || usable || rollback.known(origin) > known;
    }
    return usable;
}

bool Session::takeown(const PartBlock& block) {
    const long from = long(ownparts_.size());
    if (block.first > from) return false;
    for (long f = from; f < resumed_ && f < block.first + long(block.parts.size()); ++f)
        ownparts_.push_back(packinput(block.parts[size_t(f - block.first)]));
    return long(ownparts_.size()) > from;
}

std::optional<MatchInput> Session::own(long frame) const {
    if (frame < 0 || frame >= long(ownparts_.size())) return std::nullopt;
    return unpacked(ownparts_[size_t(frame)]);
}

// From the log, or from the game's first frame for a machine that came back.
PartBlock Session::block(int origin, long from) const {
    PartBlock b;
    const Log& log = logs_[size_t(origin)];
    const std::vector<uint32_t>& old = history_[size_t(origin)];
    b.origin = uint8_t(origin);
    b.first = int32_t(from < long(old.size()) ? from : std::max(from, log.base));
    for (long f = b.first; f < log.end() && b.parts.size() < MOST_PER_BLOCK; ++f) {
        b.parts.push_back(f >= log.base ? log.parts[size_t(f - log.base)]
                                        : unpacked(old[size_t(f)]));
    }
    return b;
}

void Session::trimlogs() {
    for (int o = 0; o < machines_; ++o) {
        long upto = LONG_MAX;
        for (int r = 0; r < machines_; ++r)
            if (r != o && talksto(r)) upto = std::min(upto, acked_[size_t(r)][size_t(o)]);
        Log& log = logs_[size_t(o)];
        while (log.base < upto && !log.parts.empty()) {
            log.parts.pop_front(), ++log.base;
            if (o != self_ || senttimes_.empty()) continue;
            const long long round = transport_->now() - senttimes_.front();
            roundtotal_ += round, ++rounds_;
            recent_ = recent_ == 0 ? double(round) : 0.95 * recent_ + 0.05 * double(round);
            senttimes_.pop_front();
        }
        if (log.parts.size() <= LONGESTLOG) continue;
        // A machine that plays on but never acknowledges what it is sent: as good as silent.
        for (int r = 0; r < machines_; ++r) {
            if (r != o && talksto(r) && acked_[size_t(r)][size_t(o)] == upto) {
                fail(OverReason::Silent, r, relays());
                return;
            }
        }
    }
}

// Coming back, the game so far comes faster than the rollback takes parts: those beyond its
// reach are kept (a few frames past the ones played before at most) and handed over as it
// moves on.
bool Session::keepahead(const PartBlock& block) {
    if (resumed_ == 0 || relays() || block.origin >= machines_ || block.origin == self_)
        return false;
    std::vector<uint32_t>& kept = kept_[block.origin];
    const long from = long(kept.size());
    const long to = std::min(block.first + long(block.parts.size()), resumed_ + KEPTBEYOND);
    for (long f = std::max(from, long(block.first)); f == long(kept.size()) && f < to; ++f)
        kept.push_back(packinput(block.parts[size_t(f - block.first)]));
    return long(kept.size()) > from;
}

void Session::handover(Rollback& rollback) const {
    for (int o = 0; o < machines_; ++o) {
        const std::vector<uint32_t>& kept = kept_[size_t(o)];
        for (long f = rollback.known(o); f < long(kept.size()) && f < rollback.horizon(); ++f)
            rollback.arrived(o, f, unpacked(kept[size_t(f)]));
    }
}

void Session::pump(Rollback& rollback) {
    handover(rollback);
    int events = 0;
    for (NetEvent e = transport_->poll(); e.kind != NetEvent::None;
         e = ++events < MOSTEVENTS ? transport_->poll() : NetEvent{})
        handle(e, rollback);
    tidy();
    if (!failure_.empty()) return;
    const long long now = transport_->now();
    feed(rollback);
    trimlogs();
    sendhashes(rollback);
    if (newpart_ || now - lastsend_ >= SEND_EVERY_MS) {
        sendparts(rollback);
        lastsend_ = now;
        newpart_ = false;
    }
}

bool Session::away(int seat) const {
    return gone_[size_t(seat)] || transport_->now() - heard_[size_t(seat)] > silence();
}

void Session::watch(const Rollback& rollback) {
    if (!failure_.empty()) return;
    // A relayed series cannot go on without the server, not even to its next game: everyone
    // hears why.
    if (transport_->serverlost()) return fail(OverReason::ServerLost, self_, true);
    if (rollback.over()) return;
    for (int seat = 0; seat < machines_; ++seat) {
        if (seat != self_ && talksto(seat) && away(seat) && !waitfor(seat)) {
            lost_ = seat == 0;
            fail(gone_[size_t(seat)] ? OverReason::Left : OverReason::Silent, seat, relays());
            return;
        }
    }
}

bool Session::missing(int r) const {
    // A machine that went away after the end took what it needed with it.
    if (r == self_ || !talksto(r) || ahead_[size_t(r)] || away(r)) return false;
    for (int o = 0; o < machines_; ++o) {
        if (o == r || (!relays() && o != self_)) continue;
        if (acked_[size_t(r)][size_t(o)] < logs_[size_t(o)].end()) return true;
    }
    return false;
}

bool Session::settled(const Rollback& rollback) const {
    if (!rollback.over()) return false;
    for (int r = 0; r < machines_; ++r)
        if (missing(r)) return false;
    return true;
}

int Session::awaited(const Rollback& rollback) const {
    int slowest = -1;
    for (int r = 0; r < machines_; ++r) {
        if (rollback.over()) {
            if (missing(r)) return r;
        } else if (r != self_ && !rollback.canplay() &&
                   (slowest < 0 || rollback.known(r) < rollback.known(slowest))) {
            slowest = r;
        }
    }
    return slowest;
}

int autoinputdelay(int roundtripms) {
    const double oneway = roundtripms / 2.0 / (1000.0 / 60);
    return std::clamp(int(std::ceil(oneway)) - 4, 0, MAXINPUTDELAY);
}

double Session::advantage(const Rollback& rollback) const {
    constexpr double FRAMEMS = 1000.0 / 60;
    double slowest = 1e9;
    for (int r = 0; r < machines_; ++r) {
        if (r == self_ || !talksto(r) || reportedat_[size_t(r)] == 0) continue;
        // What it played then, and the frames it played since it sent that: half the round
        // trip on its way, and the time since it arrived.
        const double since = recent_ / 2.0 + double(transport_->now() - reportedat_[size_t(r)]);
        slowest = std::min(slowest, double(reported_[size_t(r)]) + since / FRAMEMS);
    }
    return slowest > 1e8 ? 0 : double(rollback.frame()) - slowest;
}

void Session::leave() {
    if (left_ || !failure_.empty()) return;
    left_ = true;
    tellover({OverReason::Left, uint8_t(self_)});
}
