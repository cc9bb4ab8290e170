// The online series; see session.h. Seats are the machines in the game's order: seat 0 is
// the host, whose players have the first figures, seat k the k-th machine the host let in,
// whose players have the figures after those of seat k - 1.
#include "net/session.h"
#include "runtime/text.h"
#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

constexpr long long SEND_EVERY_MS = 15; // parts go out with every frame, at least this often
constexpr size_t MOST_PER_BLOCK = 256;  // frames of one machine in one packet
constexpr int MOSTEVENTS = 256;         // packets taken in one look; the rest wait for the next
// A log of parts the others have not all acknowledged: 20 s of play, far beyond any machine
// that still answers.
constexpr size_t LONGESTLOG = 1200;
constexpr size_t HASHESKEPT = 8;    // the host's own newest state hashes, for comparison
constexpr size_t HASHESAHEAD = 2;   // a machine's hashes may run this far ahead of the host's
constexpr size_t HASHESWAITING = 4; // ... and this many of them wait for comparison

} // namespace

Session::Session(const NetSim& sim, const GameIdentity& identity)
    : link_(sim), identity_(identity) {
    for (auto& row : acked_) row.fill(0);
}

bool Session::host(int port, const Tmultisettings& settings, int seed, int fireworks, int players,
                   std::string& error) {
    fireworks_ = fireworks;
    hosting_ = true;
    settings_ = settings;
    settings_.players = std::clamp(settings.players, 2, 4);
    players_ = std::clamp(players, 1, settings_.players - 1);
    seed_ = seed;
    seats_ = {0};
    return link_.host(port, error);
}

bool Session::join(const std::string& where, int players, std::string& error) {
    players_ = std::clamp(players, 1, 3);
    return link_.join(where, error);
}

int Session::present() const {
    int players = players_;
    for (const auto& [link, more] : waiting_) players += more;
    return started_ ? settings_.players : players;
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

int Session::seatof(int link) const {
    for (size_t s = 0; s < seats_.size(); ++s)
        if (seats_[s] == link) return int(s);
    return -1;
}

void Session::handlehello(int link, const std::vector<uint8_t>& bytes) {
    Hello hello;
    std::string refusal;
    if (!decode(bytes, hello)) {
        refusal = "not a player of this game";
    } else if (hello.version != identity_.version) {
        refusal = "the host plays version " + identity_.version + ", this is " + hello.version;
    } else if (hello.figures != identity_.figures) {
        refusal = "the host plays with another figure file";
    } else if (started_ || present() + hello.players > settings_.players) {
        refusal = "the game is full";
    }
    if (!refusal.empty()) {
        std::fprintf(stderr, "vantorix: a machine could not join: %s\n",
                     Printable(refusal).c_str());
        link_.send(link, encoderefusal(refusal), true);
        return;
    }
    for (const auto& [known, players] : waiting_)
        if (known == link) return;
    waiting_.push_back({link, hello.players});
    strangers_.erase(link);
}

// A start that names machines without figures, or figures without machines, would leave this
// machine waiting for parts that never come: it is refused.
void Session::handlestart(const std::vector<uint8_t>& bytes) {
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
    seats_ = {0};
    started_ = true;
}

void Session::dropstrangers() {
    const long long now = NetNow();
    for (auto it = strangers_.begin(); it != strangers_.end();) {
        if (now - it->second <= HELLO_MS) {
            ++it;
            continue;
        }
        link_.drop(it->first);
        it = strangers_.erase(it);
    }
}

bool Session::lobby() {
    int events = 0;
    for (NetEvent e = link_.poll(); e.kind != NetEvent::None && failure_.empty() && !started_;
         e = ++events < MOSTEVENTS ? link_.poll() : NetEvent{}) {
        if (hosting_) {
            if (e.kind == NetEvent::Connected) {
                strangers_[e.machine] = NetNow();
            } else if (e.kind == NetEvent::Received && kindof(e.bytes) == Message::Hello) {
                handlehello(e.machine, e.bytes);
            } else if (e.kind == NetEvent::Disconnected) {
                strangers_.erase(e.machine);
                waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                              [&](const auto& w) { return w.first == e.machine; }),
                               waiting_.end());
            }
            continue;
        }
        std::string reason;
        if (e.kind == NetEvent::Connected) {
            link_.send(0, encode(Hello{identity_.version, identity_.figures, uint8_t(players_)}),
                       true);
        } else if (e.kind == NetEvent::Disconnected) {
            failure_ = "the host is not there";
        } else if (decoderefusal(e.bytes, reason)) {
            failure_ = "the host refused: " + Printable(reason);
        } else if (kindof(e.bytes) == Message::Start) {
            handlestart(e.bytes);
        }
    }
    if (hosting_) dropstrangers();
    if (hosting_ && !started_ && present() == settings_.players) {
        // The host's figures first, then each machine's in the order they came.
        seats_ = {0};
        int figure = 0;
        for (int k = 0; k < players_; ++k) figureseats_[size_t(figure++)] = 0;
        for (const auto& [link, players] : waiting_) {
            for (int k = 0; k < players; ++k) figureseats_[size_t(figure++)] = int(seats_.size());
            seats_.push_back(link);
        }
        machines_ = int(seats_.size());
        Start start{seed_, uint8_t(machines_), 0, settings_, {}, uint8_t(fireworks_)};
        for (int k = 0; k < 4; ++k) start.seats[size_t(k)] = int8_t(figureseats_[size_t(k)]);
        for (int seat = 1; seat < machines_; ++seat) {
            start.you = uint8_t(seat);
            link_.send(seats_[size_t(seat)], encode(start), true);
        }
        started_ = true;
    }
    if (started_) heard_.fill(NetNow());
    return started_ && failure_.empty();
}

void Session::begingame() {
    ++game_;
    heard_.fill(NetNow());
    for (Log& log : logs_) log = Log{};
    senttimes_.clear();
    for (auto& row : acked_) row.fill(0);
    ahead_.fill(false);
    gone_.fill(false);
    hashessent_ = 0;
    myhashes_.clear();
    theirhashes_.clear();
}

void Session::played(long frame, const MatchInput& part) {
    Log& mine = logs_[size_t(self_)];
    if (frame == mine.end()) mine.parts.push_back(part), senttimes_.push_back(NetNow());
    newpart_ = true;
}

void Session::fail(OverReason reason, int seat, bool tell) {
    if (!failure_.empty()) return;
    failure_ = reason == OverReason::OutOfSync ? "OUT OF SYNC"
               : reason == OverReason::Silent  ? player(seat) + " STOPPED ANSWERING"
                                               : player(seat) + " LEFT THE GAME";
    if (tell) tellover({reason, uint8_t(std::max(seat, 0))});
}

void Session::tellover(const Over& over) {
    if (!hosting_) {
        link_.send(0, encode(over), true);
        return;
    }
    // Everyone hears of it but the machine that left or went silent.
    for (int s = 1; s < machines_; ++s)
        if (s != over.machine || over.reason == OverReason::OutOfSync)
            link_.send(seats_[size_t(s)], encode(over), true);
}

bool Session::handleparts(int seat, const Parts& parts, Rollback& rollback) {
    if (parts.game < game_) return false; // from the game before: our later packets tell it is over
    if (parts.game > game_) {             // that machine has the whole of this game
        ahead_[size_t(seat)] = true;
        return true;
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
        // The host takes a machine's own parts from it; the others take anyone's but their own.
        const int origin = block.origin;
        if (origin >= machines_ || origin == self_ || (hosting_ && origin != seat)) continue;
        Log& log = logs_[size_t(origin)];
        const long known = rollback.known(origin);
        // Only the frames that can still matter are looked at, however long the block.
        const long from =
            std::max(long(block.first), hosting_ ? std::min(log.end(), known) : known);
        const long to = std::min(block.first + long(block.parts.size()), rollback.horizon());
        for (long frame = from; frame < to; ++frame) {
            const MatchInput& part = block.parts[size_t(frame - block.first)];
            if (hosting_ && frame == log.end()) log.parts.push_back(part);
            rollback.arrived(origin, frame, part);
        }
        usable = usable || rollback.known(origin) > known;
    }
    return usable;
}

// A machine's hash waits at the host only for a frame the host will hash soon, and only a few
// of them: a lying machine cannot make the host keep more.
void Session::handlehash(int seat, const Hash& hash) {
    const long last = myhashes_.empty() ? 0 : myhashes_.rbegin()->first;
    const long frame = hash.frame;
    if (hash.game != game_ || frame <= 0 || frame % HASHEVERY != 0 ||
        frame > last + long(HASHESAHEAD) * HASHEVERY)
        return;
    size_t waiting = 0;
    for (const auto& [key, value] : theirhashes_) waiting += key.first == seat;
    if (waiting < HASHESWAITING) theirhashes_[{seat, frame}] = hash.hash;
}

void Session::sendparts(Rollback& rollback) {
    auto block = [&](int origin, long from) {
        PartBlock b;
        const Log& log = logs_[size_t(origin)];
        b.origin = uint8_t(origin);
        b.first = int32_t(std::max(from, log.base));
        for (long f = b.first; f < log.end() && b.parts.size() < MOST_PER_BLOCK; ++f) {
            b.parts.push_back(log.parts[size_t(f - log.base)]);
        }
        return b;
    };
    if (!hosting_) {
        Parts p;
        p.game = game_;
        for (int o = 0; o < machines_; ++o)
            if (o != self_) p.acks.push_back({uint8_t(o), int32_t(rollback.known(o))});
        p.blocks.push_back(block(self_, acked_[0][size_t(self_)]));
        link_.send(0, encode(p), false);
        return;
    }
    for (int seat = 1; seat < machines_; ++seat) {
        Parts p;
        p.game = game_;
        // What the host acknowledges is what it can pass on: its log of that machine.
        p.acks.push_back({uint8_t(seat), int32_t(logs_[size_t(seat)].end())});
        for (int o = 0; o < machines_; ++o)
            if (o != seat) p.blocks.push_back(block(o, acked_[size_t(seat)][size_t(o)]));
        link_.send(seats_[size_t(seat)], encode(p), false);
    }
}

void Session::trimlogs() {
    for (int o = 0; o < machines_; ++o) {
        long upto = LONG_MAX;
        for (int r = 0; r < machines_; ++r) {
            if (r == o || (!hosting_ && r != 0)) continue;
            upto = std::min(upto, acked_[size_t(r)][size_t(o)]);
        }
        Log& log = logs_[size_t(o)];
        while (log.base < upto && !log.parts.empty()) {
            log.parts.pop_front(), ++log.base;
            if (o != self_ || senttimes_.empty()) continue;
            roundtotal_ += NetNow() - senttimes_.front(), ++rounds_;
            senttimes_.pop_front();
        }
        if (log.parts.size() <= LONGESTLOG) continue;
        // A machine that plays on but never acknowledges what it is sent: as good as silent.
        for (int r = 0; r < machines_; ++r) {
            if (r != o && (hosting_ || r == 0) && acked_[size_t(r)][size_t(o)] == upto) {
                fail(OverReason::Silent, r, hosting_);
                return;
            }
        }
    }
}

void Session::sendhashes(const Rollback& rollback) {
    for (; hashessent_ < rollback.hashes.size(); ++hashessent_) {
        const long frame = long(hashessent_ + 1) * HASHEVERY;
        const uint64_t hash = rollback.hashes[hashessent_];
        if (!hosting_) {
            link_.send(0, encode(Hash{game_, int32_t(frame), hash}), true);
            continue;
        }
        myhashes_[frame] = hash;
        if (myhashes_.size() > HASHESKEPT) myhashes_.erase(myhashes_.begin());
    }
    if (!hosting_) return;
    for (auto it = theirhashes_.begin(); it != theirhashes_.end();) {
        const auto mine = myhashes_.find(it->first.second);
        if (mine == myhashes_.end()) {
            // Too old to be compared any more, or still to come.
            const bool old = !myhashes_.empty() && it->first.second < myhashes_.begin()->first;
            it = old ? theirhashes_.erase(it) : std::next(it);
            continue;
        }
        if (mine->second != it->second) fail(OverReason::OutOfSync, it->first.first, true);
        it = theirhashes_.erase(it);
    }
}

void Session::handle(const NetEvent& e, Rollback* rollback) {
    const int seat = hosting_ ? seatof(e.machine) : 0;
    if (hosting_ && seat < 0) {
        // Someone else, once the game has begun: told so, and dropped unless it goes itself.
        if (e.kind == NetEvent::Connected) strangers_[e.machine] = NetNow();
        if (e.kind == NetEvent::Disconnected) strangers_.erase(e.machine);
        if (e.kind == NetEvent::Received && kindof(e.bytes) == Message::Hello)
            link_.send(e.machine, encoderefusal("the game has begun"), true);
        return;
    }
    if (hosting_ && seat == 0) return;
    if (e.kind == NetEvent::Disconnected) {
        gone_[size_t(seat)] = true; // a failure only if the game still needs it (watch)
        return;
    }
    if (e.kind != NetEvent::Received) return;
    const auto kind = kindof(e.bytes);
    Parts parts;
    Hash hash;
    Over over;
    if (kind == Message::Parts && rollback && decode(e.bytes, parts)) {
        // Only what the game can use shows that a machine is still there.
        if (handleparts(seat, parts, *rollback)) heard_[size_t(seat)] = NetNow();
    } else if (kind == Message::Hash && hosting_ && decode(e.bytes, hash)) {
        handlehash(seat, hash);
    } else if (kind == Message::Over && decode(e.bytes, over)) {
        // A joiner tells the host it leaves; the host tells the others who left, never a
        // machine that it left itself.
        const int who = hosting_ ? seat : int(over.machine);
        const bool named =
            who < machines_ && (who != self_ || over.reason == OverReason::OutOfSync);
        if (named) fail(over.reason, who, hosting_);
    }
}

void Session::pump(Rollback& rollback) {
    int events = 0;
    for (NetEvent e = link_.poll(); e.kind != NetEvent::None;
         e = ++events < MOSTEVENTS ? link_.poll() : NetEvent{})
        handle(e, &rollback);
    if (hosting_) dropstrangers();
    if (!failure_.empty()) return;
    const long long now = NetNow();
    if (hosting_) {
        // What the host has of every machine is what it acknowledges and relays.
        for (int o = 1; o < machines_; ++o) acked_[0][size_t(o)] = logs_[size_t(o)].end();
    }
    trimlogs();
    sendhashes(rollback);
    if (newpart_ || now - lastsend_ >= SEND_EVERY_MS) {
        sendparts(rollback);
        lastsend_ = now;
        newpart_ = false;
    }
}

bool Session::away(int seat) const {
    // The host decides who went silent and tells the others; a joiner gives it a second more
    // before it counts the host itself as gone, so a slow third machine is named rightly.
    const long long silence = hosting_ ? SILENCE_MS : SILENCE_MS + 1000;
    return gone_[size_t(seat)] || NetNow() - heard_[size_t(seat)] > silence;
}

void Session::watch(const Rollback& rollback) {
    if (!failure_.empty() || rollback.over()) return;
    for (int seat = 0; seat < machines_; ++seat) {
        const bool talks = hosting_ ? seat != 0 : seat == 0;
        if (talks && away(seat)) {
            fail(gone_[size_t(seat)] ? OverReason::Left : OverReason::Silent, seat, hosting_);
            return;
        }
    }
}

bool Session::missing(int r) const {
    // A machine that went away after the end took what it needed with it.
    if (r == self_ || (!hosting_ && r != 0) || ahead_[size_t(r)] || away(r)) return false;
    for (int o = 0; o < machines_; ++o) {
        if (o == r || (!hosting_ && o != self_)) continue;
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

void Session::leave() {
    if (left_ || !failure_.empty()) return;
    left_ = true;
    tellover({OverReason::Left, uint8_t(self_)});
}
