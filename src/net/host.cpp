// The host of an online series; see host.h.
#include "net/host.h"
#include "runtime/text.h"
#include <algorithm>
#include <climits>
#include <cstdio>
#include <random>

namespace {

constexpr size_t HASHESKEPT = 8;    // the host's own newest state hashes, for comparison
constexpr size_t HASHESAHEAD = 2;   // a machine's hashes may run this far ahead of the host's
constexpr size_t HASHESWAITING = 4; // ... and this many of them wait for comparison
constexpr long long ECHO_MS = 2000; // an echo not back by then is given up on
constexpr int MOSTMESSAGES = 4;     // of records to each spectator a look
// Records go to a spectator this many frames at a time (until the game is over): a packet for
// every frame would cost the host's upload 60 packets a second for each spectator.
constexpr long BATCH = 4;
// The spectator that stands for every machine the server feeds.
constexpr int SERVERFEED = -2;

} // namespace

Host::Host(std::unique_ptr<Transport> transport, const GameIdentity& identity,
           const Tmultisettings& settings, int seed, int fireworks, int players)
    : Session(std::move(transport), identity, 1), links_{0} {
    settings_ = settings;
    settings_.players = std::clamp(settings.players, 2, 4);
    players_ = std::clamp(players, 1, settings_.players - 1);
    seed_ = seed;
    fireworks_ = fireworks;
}

int Host::present() const {
    if (started_) return settings_.players;
    int players = players_;
    for (const Caller& c : waiting_) players += c.players;
    return players;
}

std::vector<Session::Arrival> Host::arrivals() const {
    std::vector<Arrival> all;
    for (const Caller& c : waiting_)
        all.push_back({c.players, transport_->relayed(c.link), int(c.roundtrip)});
    return all;
}

int Host::seatof(int link) const {
    for (size_t s = 1; s < links_.size(); ++s)
        if (links_[s] == link) return int(s);
    return -1;
}

void Host::handlehello(int link, const std::vector<uint8_t>& bytes) {
    Hello hello;
    std::string refusal;
    if (!decode(bytes, hello)) {
        refusal = "not a player of this game";
    } else if (hello.version != identity_.version) {
        refusal = "the host plays version " + identity_.version + ", this is " + hello.version;
    } else if (hello.figures != identity_.figures) {
        refusal = "the host plays with another figure file";
    } else if (hello.players == 0 && direct() >= int(MOSTSPECTATORS)) {
        refusal = std::to_string(MOSTSPECTATORS) + " machines watch the game already";
    } else if (hello.players > 0 && started_) {
        // A machine of the game coming back to its seat, or a stranger.
        for (int seat = 1; seat < machines_; ++seat) {
            if (hello.token == 0 || hello.token != tokens_[size_t(seat)] ||
                link == links_[size_t(seat)])
                continue;
            // Back before its silence was noticed: the old connection is dead.
            if (awaysince_[size_t(seat)] == 0) waitfor(seat);
            return comeback(seat, link);
        }
        refusal = "the game has begun";
    } else if (present() + hello.players > settings_.players) {
        refusal = "the game is full";
    }
    if (!refusal.empty()) {
        std::fprintf(stderr, "vantorix: a machine could not join: %s\n",
                     Printable(refusal).c_str());
        transport_->send(link, encoderefusal(refusal), true);
        return;
    }
    if (hello.players == 0) return addspectator(link);
    for (const Caller& c : waiting_)
        if (c.link == link) return;
    const long long now = transport_->now();
    waiting_.push_back({link, hello.players, now});
    transport_->send(link, encodeecho(uint64_t(now)), true);
    strangers_.erase(link);
}

void Host::addspectator(int link) {
    strangers_.erase(link);
    for (const Spectator& s : spectators_)
        if (s.link == link) return;
    spectators_.push_back({link});
    tellwatching();
}

void Host::dropspectator(int link) {
    const size_t before = spectators_.size();
    std::erase_if(spectators_, [&](const Spectator& s) { return s.link == link; });
    if (spectators_.size() != before) tellwatching();
}

int Host::direct() const {
    return int(std::count_if(spectators_.begin(), spectators_.end(),
                             [](const Spectator& s) { return s.link != SERVERFEED; }));
}

void Host::tell(const Spectator& s, const std::vector<uint8_t>& message, bool gamestart) {
    if (s.link == SERVERFEED) return transport_->feedwatchers(message, gamestart);
    transport_->send(s.link, message, true);
}

// The server's spectators are fed from the first one on, as one more spectator of the host's.
void Host::noticewatchers() {
    const int served = transport_->watchers();
    if (served == served_) return;
    if (direct() == int(spectators_.size())) spectators_.push_back({SERVERFEED});
    served_ = served;
    tellwatching();
}

void Host::tellwatching() {
    watching_ = direct() + served_;
    const std::vector<uint8_t> message = encodewatchers(watching_);
    for (const Spectator& s : spectators_) tell(s, message);
    if (started_) {
        for (int seat = 1; seat < machines_; ++seat)
            if (links_[size_t(seat)] >= 0) transport_->send(links_[size_t(seat)], message, true);
    } else {
        for (const Caller& c : waiting_) transport_->send(c.link, message, true);
    }
}

bool Host::waitfor(int seat) {
    const long long now = transport_->now();
    long long& since = awaysince_[size_t(seat)];
    if (since == 0) {
        since = now;
        std::fprintf(stderr, "vantorix: %s is away; waiting %lld s for it to come back\n",
                     player(seat).c_str(), REJOIN_MS / 1000);
        if (links_[size_t(seat)] >= 0) transport_->drop(links_[size_t(seat)]);
        links_[size_t(seat)] = -1;
        toresume_[size_t(seat)] = false;
        tellaway();
    }
    return now - since <= REJOIN_MS;
}

void Host::comeback(int seat, int link) {
    const size_t s = size_t(seat);
    strangers_.erase(link);
    links_[s] = link;
    awaysince_[s] = 0;
    gone_[s] = ahead_[s] = false;
    heard_[s] = transport_->now();
    reported_[s] = 0, reportedat_[s] = 0;
    acked_[s].fill(0);
    owned_[s] = logs_[s].end();
    toresume_[s] = true;
    std::fprintf(stderr, "vantorix: %s came back\n", player(seat).c_str());
    tellaway();
}

// The first machine away and the time it has left, to every machine there, every second; and
// once none is, that it came back.
void Host::tellaway() {
    const long long now = transport_->now();
    const int before = awayseat_;
    awayseat_ = -1;
    for (int seat = 1; seat < machines_ && awayseat_ < 0; ++seat)
        if (awaysince_[size_t(seat)] != 0) awayseat_ = seat;
    if (awayseat_ < 0 && before < 0) return;
    const int seat = awayseat_ >= 0 ? awayseat_ : before;
    awayuntil_ = awayseat_ >= 0 ? awaysince_[size_t(seat)] + REJOIN_MS : 0;
    const uint32_t left = uint32_t(std::clamp(awayuntil_ - now, 0LL, REJOIN_MS));
    for (int s = 1; s < machines_; ++s)
        if (links_[size_t(s)] >= 0)
            transport_->send(links_[size_t(s)], encode(Away{uint8_t(seat), left}), true);
    toldaway_ = now;
}

void Host::tidy() {
    const long long now = transport_->now();
    if (awayseat_ >= 0 && now - toldaway_ >= 1000) tellaway();
    for (auto it = strangers_.begin(); it != strangers_.end();) {
        if (now - it->second <= HELLO_MS) {
            ++it;
            continue;
        }
        transport_->drop(it->first);
        it = strangers_.erase(it);
    }
}

Start Host::startof(int seat) const {
    Start start{seed_, uint8_t(machines_), uint8_t(seat), settings_, {}, uint8_t(fireworks_)};
    for (int k = 0; k < 4; ++k) start.seats[size_t(k)] = int8_t(figureseats_[size_t(k)]);
    start.token = tokens_[size_t(seat)];
    return start;
}

// The host's figures first, then each machine's in the order they came.
void Host::startseries() {
    links_ = {0};
    int figure = 0;
    long long longest = 0;
    for (int k = 0; k < players_; ++k) figureseats_[size_t(figure++)] = 0;
    for (const Caller& c : waiting_) {
        for (int k = 0; k < c.players; ++k) figureseats_[size_t(figure++)] = int(links_.size());
        links_.push_back(c.link);
        longest = std::max(longest, c.roundtrip);
    }
    // The start reaches the others half a round trip from now: the host begins then too.
    beginat_ = transport_->now() + longest / 2;
    guessroundtrip(longest);
    machines_ = int(links_.size());
    std::random_device entropy;
    for (int seat = 1; seat < machines_; ++seat) {
        tokens_[size_t(seat)] = uint64_t(entropy()) << 32 | entropy();
        transport_->send(links_[size_t(seat)], encode(startof(seat)), true);
    }
    started_ = true;
}

bool Host::lobby() {
    int events = 0;
    for (NetEvent e = transport_->poll(); e.kind != NetEvent::None && !started_;
         e = ++events < MOSTEVENTS ? transport_->poll() : NetEvent{}) {
        if (e.kind == NetEvent::Connected) {
            strangers_[e.machine] = transport_->now();
        } else if (e.kind == NetEvent::Received && kindof(e.bytes) == Message::Hello) {
            handlehello(e.machine, e.bytes);
        } else if (e.kind == NetEvent::Disconnected) {
            strangers_.erase(e.machine);
            dropspectator(e.machine);
            waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                          [&](const Caller& c) { return c.link == e.machine; }),
                           waiting_.end());
        } else if (uint64_t stamp = 0; e.kind == NetEvent::Received && decodeecho(e.bytes, stamp)) {
            for (Caller& c : waiting_) {
                if (c.link == e.machine && uint64_t(c.asked) == stamp && c.roundtrip < 0)
                    c.roundtrip = transport_->now() - c.asked;
            }
        }
    }
    tidy();
    noticewatchers();
    if (!started_ && present() == settings_.players && ready()) startseries();
    transport_->lobby(present(), started_ ? present() : settings_.players);
    if (started_) heard_.fill(transport_->now());
    return started_;
}

bool Host::ready() const {
    const long long now = transport_->now();
    for (const Caller& c : waiting_)
        if (c.roundtrip < 0 && now - c.asked < ECHO_MS) return false;
    return true;
}

void Host::begingame() {
    Session::begingame();
    // A machine away stays away from one game to the next.
    for (int seat = 1; seat < machines_; ++seat) {
        gone_[size_t(seat)] = awaysince_[size_t(seat)] != 0;
        owned_[size_t(seat)] = 0;
    }
    myhashes_.clear();
    theirhashes_.clear();
}

void Host::tellover(const Over& over) {
    for (int s = 1; s < machines_; ++s)
        if (links_[size_t(s)] >= 0 && (s != over.machine || over.reason == OverReason::OutOfSync))
            transport_->send(links_[size_t(s)], encode(over), true);
    // The spectators know machines by their players: they hear the words.
    const std::string why = failure_.empty() ? player(over.machine) + " LEFT THE GAME" : failure_;
    for (const Spectator& s : spectators_) tell(s, encoderefusal(why));
}

void Host::feed(const Rollback& rollback) {
    noticewatchers();
    if (!rollback.replay) return;
    for (int seat = 1; seat < machines_; ++seat) {
        if (!toresume_[size_t(seat)]) continue;
        const int link = links_[size_t(seat)];
        transport_->send(link, encode(startof(seat)), true);
        const Resume resume{game_, int32_t(owned_[size_t(seat)]),
                            replaystarttext(*rollback.replay)};
        transport_->send(link, encode(resume), true);
        toresume_[size_t(seat)] = false;
    }
    for (Spectator& s : spectators_) {
        if (s.game != game_) {
            tell(s, encode(Watch{game_, replaystarttext(*rollback.replay)}), true);
            s = Spectator{s.link, game_};
        }
        // Once the game is over, what is left goes at once: the next game's start follows.
        if (rollback.over()) feed(s, rollback.replay->runs, INT_MAX);
        if (!rollback.over() && unsent(s, rollback.replay->runs) >= BATCH)
            feed(s, rollback.replay->runs, MOSTMESSAGES);
    }
}

long Host::unsent(const Spectator& s, const std::vector<InputRun>& runs) {
    long frames = 0;
    for (size_t i = s.run; i < runs.size() && frames < BATCH; ++i)
        frames += long(runs[i].count) - (i == s.run ? s.inrun : 0);
    return frames;
}

// A few messages a look: a spectator that comes late catches up over a second or so, and the
// players' own packets never wait behind a long game's records.
void Host::feed(Spectator& s, const std::vector<InputRun>& runs, int most) {
    for (int m = 0; m < most; ++m) {
        Records records{game_, int32_t(s.frames), {}};
        // The last run may still grow: what was sent of it is remembered, not passed.
        for (size_t i = s.run; i < runs.size() && records.runs.size() < MOSTRUNS; ++i) {
            const long more = long(runs[i].count) - s.inrun;
            if (more > 0) {
                records.runs.push_back(runs[i]);
                records.runs.back().count = uint32_t(more);
                s.frames += more;
            }
            if (i + 1 < runs.size()) {
                s.run = i + 1, s.inrun = 0;
            } else {
                s.inrun = long(runs[i].count);
            }
        }
        if (records.runs.empty()) return;
        tell(s, encode(records));
    }
}

// A machine's hash waits at the host only for a frame the host will hash soon, and only a few
// of them: a lying machine cannot make the host keep more.
void Host::handlehash(int seat, const Hash& hash) {
    const long last = myhashes_.empty() ? 0 : myhashes_.rbegin()->first;
    const long frame = hash.frame;
    if (hash.game != game_ || frame <= 0 || frame % HASHEVERY != 0 ||
        frame > last + long(HASHESAHEAD) * HASHEVERY)
        return;
    size_t waiting = 0;
    for (const auto& [key, value] : theirhashes_) waiting += key.first == seat;
    if (waiting < HASHESWAITING) theirhashes_[{seat, frame}] = hash.hash;
}

void Host::handle(const NetEvent& e, Rollback& rollback) {
    const int seat = seatof(e.machine);
    if (seat < 0) {
        // Someone else, once the game has begun: told so, and dropped unless it goes itself.
        if (e.kind == NetEvent::Connected) strangers_[e.machine] = transport_->now();
        if (e.kind == NetEvent::Disconnected) strangers_.erase(e.machine), dropspectator(e.machine);
        if (e.kind == NetEvent::Received && kindof(e.bytes) == Message::Hello)
            handlehello(e.machine, e.bytes);
        return;
    }
    if (e.kind == NetEvent::Disconnected) {
        gone_[size_t(seat)] = true; // a failure only if the game still needs it (watch)
        return;
    }
    if (e.kind != NetEvent::Received) return;
    const auto kind = kindof(e.bytes);
    Parts parts;
    Hash hash;
    Over over;
    if (kind == Message::Parts && decode(e.bytes, parts)) {
        // Only what the game can use shows that a machine is still there; while everyone
        // waits for a machine to come back, nobody has more to give.
        const bool waiting = awayseat_ >= 0 && parts.game == game_;
        if (handleparts(seat, parts, rollback) || waiting) heard_[size_t(seat)] = transport_->now();
    } else if (kind == Message::Hash && decode(e.bytes, hash)) {
        handlehash(seat, hash);
    } else if (kind == Message::Over && decode(e.bytes, over)) {
        handleover(seat, over.reason); // a joiner says it leaves
    }
}

void Host::sendparts(Rollback& rollback) {
    for (int seat = 1; seat < machines_; ++seat) {
        if (links_[size_t(seat)] < 0) continue; // away
        Parts p;
        p.game = game_;
        p.frame = int32_t(rollback.frame());
        // What the host acknowledges is what it can pass on: its log of that machine.
        p.acks.push_back({uint8_t(seat), int32_t(logs_[size_t(seat)].end())});
        // A machine that came back gets its own parts of the frames it played before too.
        for (int o = 0; o < machines_; ++o)
            if (o != seat || acked_[size_t(seat)][size_t(o)] < owned_[size_t(seat)])
                p.blocks.push_back(block(o, acked_[size_t(seat)][size_t(o)]));
        transport_->send(links_[size_t(seat)], encode(p), false);
    }
}

void Host::sendhashes(const Rollback& rollback) {
    for (; hashessent_ < rollback.hashes.size(); ++hashessent_) {
        myhashes_[long(hashessent_ + 1) * HASHEVERY] = rollback.hashes[hashessent_];
        if (myhashes_.size() > HASHESKEPT) myhashes_.erase(myhashes_.begin());
    }
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
