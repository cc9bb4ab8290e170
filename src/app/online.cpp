// Online multiplayer: the lobby (waiting for the other machines, or for the host's start),
// then a tally series whose every game runs on every machine at once with rollback; a pause
// pauses every machine. Each machine brings one to three players (--local), steering with the
// keys and pads of players 1, 2, 3 at that machine; the host's settings and seed are used. The
// series ends for everyone when someone leaves with Escape, goes silent or out of step; the
// machines then go back to their menus.
#include "app/app.h"
#include "app/rejoin.h"
#include "app/replays.h"
#include "effects/colourdrift.h"
#include "match/match.h"
#include "match/rollback.h"
#include "match/routines.h"
#include "match/trace.h"
#include "net/discovery.h"
#include "net/host.h"
#include "net/joiner.h"
#include "net/link.h"
#include "net/localaddresses.h"
#include "runtime/clock.h"
#include "runtime/dialog.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/text.h"
#include <cctype>
#include <cmath>
#include <cstdio>
#include <deque>

namespace {

// One try of a machine coming back to its seat (time to meet through the server, punch, fall
// back to the relay and connect).
constexpr long long COMEBACKTRY_MS = 8000;

// The match reads the record the rollback made; the keyboard is told about flushes, which
// only frames that are shown ask for (a frame played again must not forget keys held now).
class OnlineInput : public InputSource {
  public:
    explicit OnlineInput(PlayerInput& players) : players_(players) {}
    MatchInput read(const Tmatch&) override { return record; }
    bool leaving(const Tmatch&) override { return record.leave; }
    void flush() override { players_.flush(); }
    void discardpresses() override { players_.discardpresses(); }

    MatchInput record;

  private:
    PlayerInput& players_;
};

// This machine's part of the frame: its players' steering, P, the result screens' keys and
// Escape. Its first player steers with the keys and pad of player 1, the second with those of
// player 2, and so on; a machine of one player may also use W, A, S, D or the first pad.
MatchInput localpart(PlayerInput& players, const Tmatch& match, const std::vector<int>& mine) {
    const MatchInput all = players.read(match);
    MatchInput part;
    for (size_t i = 0; i < mine.size(); ++i) part.figures[size_t(mine[i])] = all.figures[i];
    const FigureInput& arrows = all.figures[0];
    const bool steering = arrows.left || arrows.right || arrows.up || arrows.down;
    if (mine.size() == 1 && !steering) part.figures[size_t(mine[0])] = all.figures[1];
    part.pause = all.pause;
    part.enter = all.enter;
    part.space = all.space;
    part.fillbar1 = all.fillbar1;
    part.fillbar2 = all.fillbar2;
    part.leave = players.leaving(match);
    return part;
}

// A paused online game: every machine shows this until someone presses P again.
void drawpaused(const Tmatch& match) {
    ClearScreen();
    SetDrawColor(255, 255, 255);
    drawcentred("PAUSED", 0.6f, 330, match.screenwidth);
    SetDrawColor(100, 100, 100);
    drawcentred("P: GO ON   ESCAPE: LEAVE", 0.2f, 440, match.screenwidth);
    presentframe();
}

constexpr int WAITSTEP_MS = 10;        // a look at the network while waiting, at least this often
constexpr long long SHOWWAIT_MS = 500; // a wait shorter than this goes unseen

// One look while the game waits for another machine: a moment asleep on the socket (woken by
// the first packet), then, once the wait is long enough to be noticed, a screen that names
// the machine waited for; Escape there leaves the series.
void waitawhile(Session& session, const Rollback& rollback, const Tmatch& match, long long& since) {
    checkclose();
    if (since == 0) since = NetNow();
    session.transport().wait(WAITSTEP_MS);
    if (NetNow() - since < SHOWWAIT_MS) return;
    const int seat = session.awaited(rollback);
    ClearScreen();
    SetDrawColor(255, 255, 255);
    drawcentred(seat >= 0 ? "WAITING FOR " + session.player(seat) : std::string("WAITING"), 0.4f,
                330, match.screenwidth);
    // A machine that dropped out has this long to come back.
    const int countdown = session.countdown();
    if (countdown >= 0) {
        const std::array<int, 3> lit = highlightcolour(match.colours[2]);
        SetDrawColor(lit[0], lit[1], lit[2]);
        drawcentred(std::to_string(countdown), 0.8f, 400, match.screenwidth);
    }
    SetDrawColor(100, 100, 100);
    drawcentred("ESCAPE: LEAVE", 0.2f, countdown >= 0 ? 520 : 440, match.screenwidth);
    presentframe();
    if (escapepressed()) session.leave();
}

// A machine more than a frame ahead of the others shows each frame later by 3 ms for every
// frame it is ahead, at most 6 ms: its frames come well under 25 ms apart, which no player
// sees as a stall, and the machines meet within a second.
constexpr double TIMESYNC_AHEAD = 1.0;
constexpr double TIMESYNC_MS = 3;
constexpr int TIMESYNC_MOST = 6;
constexpr long long STALL_MS = 25;        // a frame shown this long after the one before stalled
constexpr long SETTLING = 300;            // the frames of a game before the machines are in step
constexpr long long CATCHUPSLICE_MS = 15; // of play without drawing between two pictures

// How this machine's frames go out and are shown: its players' parts go out delay frames
// before they are played (ahead holds them meanwhile), and a player notices a stall when a
// frame comes more than STALL_MS after the one before. An automatic delay follows the recent
// round trip a frame at a time, once a second.
struct Pacing {
    bool automatic = true;
    int delay = 0;
    std::deque<MatchInput> ahead;
    long long lastshown = 0;
    long stalls = 0;
    long steadystalls = 0; // of them, after a game's first SETTLING frames
    long long showing = 0; // ms from the first frame shown to the last

    // The first parts of a game are no one's keys: the delay's worth of standing still (from
    // the frame a machine that came back plays on from).
    void begin(Session& session, long from) {
        ahead.assign(size_t(delay), MatchInput{});
        for (int f = 0; f < delay; ++f) session.played(from + f, MatchInput{});
        lastshown = 0;
    }
    // The part this machine plays in the frame; what is read now goes out for a later one. A
    // longer delay holds the keys read now for the frames it adds (a press counts once); a
    // shorter one reads nothing this frame (a key pressed meanwhile is read in the next), so
    // it shortens a frame at a time. An automatic delay looks again every quarter second
    // while the game settles, every second after.
    template <class Read> MatchInput next(Session& session, long frame, Read read) {
        int wanted = delay;
        const long every = frame < SETTLING ? 15 : 60;
        if (automatic && frame % every == every - 1 && session.recentroundtrip() > 0)
            wanted = autoinputdelay(session.recentroundtrip());
        if (wanted < delay) {
            --delay;
        } else {
            MatchInput part = read();
            for (int f = delay; f <= wanted; ++f) {
                session.played(frame + long(ahead.size()), part);
                ahead.push_back(part);
                part.pause = part.next = false;
                part.typed = part.pick = 0;
            }
            delay = wanted;
        }
        const MatchInput now = ahead.front();
        ahead.pop_front();
        return now;
    }
    void shown(long frame, long long now) {
        if (lastshown != 0 && now - lastshown > STALL_MS) {
            ++stalls;
            if (frame >= SETTLING) ++steadystalls;
        }
        if (lastshown != 0) showing += now - lastshown;
        lastshown = now;
    }
};

struct SeriesStats {
    RollbackStats rollback;
    long frames = 0; // played, the last time each
};

// One game, to its final end (or until the series fails).
void playgame(Tmatch& match, Rollback& rollback, Session& session, OnlineInput& input,
              PlayerInput& players, Pacing& pacing) {
    long waitedat = -1;
    long long waiting = 0; // since when, 0 while playing
    const long resumed = session.resumed();
    long long shownat = 0; // the catching-up bar of a machine that came back
    pacing.begin(session, resumed);
    for (;;) {
        session.pump(rollback);
        rollback.correct(match);
        session.watch(rollback);
        if (!session.failure().empty() || session.left()) return;
        if (rollback.over()) {
            if (session.settled(rollback)) return;
            waitawhile(session, rollback, match, waiting);
            continue;
        }
        // The series' first frame comes when the start has reached every machine.
        const bool early = rollback.frame() == 0 && session.transport().now() < session.beginat();
        if (!rollback.canplay() || early) {
            if (waitedat != rollback.frame() && !early) rollback.stats.waits += 1;
            waitedat = rollback.frame();
            waitawhile(session, rollback, match, waiting);
            continue;
        }
        waiting = 0;
        // Coming back, the frames played before are played again, with this machine's own
        // parts of them, undrawn.
        if (rollback.frame() < resumed) {
            const std::optional<MatchInput> own = session.own(rollback.frame());
            if (!own) {
                waitawhile(session, rollback, match, waiting);
                continue;
            }
            input.record = match.input = rollback.begin(match, *own);
            if (rollback.playing()) match.playframe(false);
            rollback.end(match);
            if (NetNow() - shownat >= CATCHUPSLICE_MS) {
                drawcatchingup(rollback.frame(), resumed, match.screenwidth);
                shownat = NetNow();
                if (escapepressed()) session.leave();
            }
            continue;
        }
        // Behind the others early in a game (or after coming back), a machine catches up
        // without showing the frames: the camera's glide from far away hides the jump.
        const bool behind =
            rollback.frame() < resumed + SETTLING && session.advantage(rollback) < -TIMESYNC_AHEAD;
        match.notice = session.watching() > 0 ? watchingtext(session.watching()) : "";
        const MatchInput part = pacing.next(session, rollback.frame(), [&] {
            return localpart(players, match, session.myfigures());
        });
        // The part read goes out at once, not after this frame has been shown.
        session.pump(rollback);
        input.record = match.input = rollback.begin(match, part);
        if (!rollback.playing()) {
            drawpaused(match);
        } else {
            match.playframe(!behind);
        }
        if (!behind) pacing.shown(rollback.frame(), NetNow());
        rollback.end(match);
        // A machine ahead of the others shows its next frames a little later until it is not,
        // so nobody runs into the end of the rollback's reach and stops dead.
        const double ahead = session.advantage(rollback);
        if (ahead > TIMESYNC_AHEAD) {
            HoldPacing(std::min(TIMESYNC_MOST, int(std::lround(ahead * TIMESYNC_MS))));
        }
    }
}

// A hosting machine that meets through a server shows its room code large, or why it has
// none, and says the code once on standard output (for scripts and tests) as "room CODE".
void drawroom(Tapp& app, Transport& link, bool& announced) {
    const std::string room = link.room(), trouble = link.trouble();
    if (!room.empty() && !announced) {
        std::printf("room %s\n", room.c_str());
        std::fflush(stdout);
        announced = true;
    }
    SetDrawColor(160, 160, 160);
    drawcentred(room.empty() && !trouble.empty() ? "NO ROOM CODE: " + trouble : "ROOM CODE", 0.2f,
                170, app.screenwidth);
    const std::array<int, 3> lit = highlightcolour(app.colours[2]);
    SetDrawColor(lit[0], lit[1], lit[2]);
    if (trouble.empty()) drawcentred(room.empty() ? "......" : room, 0.8f, 215, app.screenwidth);
}

// Below the host's lobby, a line for every machine that came: its first player, whether it
// plays directly or through the server's relay, and its round trip.
void drawarrivals(Tapp& app, const Session& session) {
    int player = session.present();
    for (const Session::Arrival& a : session.arrivals()) player -= a.players;
    float y = 560;
    SetDrawColor(160, 160, 160);
    for (const Session::Arrival& a : session.arrivals()) {
        const std::string ping = a.ping < 0 ? "" : "   " + std::to_string(a.ping) + " MS";
        drawcentred("PLAYER " + std::to_string(player + 1) +
                        (a.relayed ? "   RELAYED" : "   DIRECT") + ping,
                    0.15f, y, app.screenwidth);
        player += a.players;
        y += 36;
    }
}

// The lobby: a waiting screen until every machine is there; false when it cannot be (or not
// by until, when there is one). Where says the port hosted on or the host joined; a host
// meeting through a server shows its code.
bool waitforplayers(Tapp& app, Session& session, bool hosting, const std::string& what,
                    bool meeting, const std::string& where, long long until = 0) {
    bool announced = false;
    while (!session.lobby()) {
        if (!session.failure().empty() || (until && NetNow() > until)) return false;
        ClearScreen();
        animatecolours(GameRandom(), app.colours, app.colourspeeds, app.colourrows);
        drawtitle("VANTORIX", app.colours[1], app.screenwidth);
        if (hosting && meeting) drawroom(app, session.transport(), announced);
        if (hosting) drawarrivals(app, session);
        const std::string text = hosting ? what + " " + std::to_string(session.present()) + " / " +
                                               std::to_string(session.settings().players)
                                         : what;
        // Lifted like a highlighted entry, so it is readable from the first frame.
        const std::array<int, 3> lit = highlightcolour(app.colours[2]);
        SetDrawColor(lit[0], lit[1], lit[2]);
        drawcentred(text, 0.4f, 400, app.screenwidth);
        SetDrawColor(100, 100, 100);
        drawcentred(UpperCase(where) + "   ESCAPE: BACK", 0.15f, 480, app.screenwidth);
        if (session.watching() > 0)
            drawcentred(watchingtext(session.watching()), 0.15f, 520, app.screenwidth);
        presentframe();
        if (escapepressed()) return false;
        // The others come in real time, whatever clock the game runs on.
        session.transport().wait(WAITSTEP_MS);
    }
    return true;
}

void addstats(RollbackStats& into, const RollbackStats& from) {
    into.rollbacks += from.rollbacks;
    into.longest = std::max(into.longest, from.longest);
    into.resimulated += from.resimulated;
    into.waits += from.waits;
}

// Bytes are counted per frame and per other machine, and given at the game's 60 frames a
// second (a scripted run plays faster than that); stalls and rollbacks per minute and second
// of the time the frames were shown.
void printstats(const SeriesStats& s, const Pacing& pacing, Session& session) {
    const LinkStats link = session.transport().stats();
    const int others = session.self() == 0 ? session.machines() - 1 : 1;
    const double perframe = double(link.bytessent) / double(std::max(1L, s.frames)) / others;
    const double seconds = std::max(1.0, double(pacing.showing) / 1000);
    const double mean =
        s.rollback.rollbacks ? double(s.rollback.resimulated) / double(s.rollback.rollbacks) : 0;
    std::fprintf(stderr,
                 "vantorix: netstats: frames %ld, rollbacks %ld (%.2f a second, %.1f frames on "
                 "average), longest %ld frames, frames played again %ld, waits %ld, stalls %ld "
                 "(%.2f a minute), stalls after the first %ld frames %ld, input delay %d, round "
                 "trip %d ms, packets lost %ld, sent %.1f bytes a frame to each machine (%.0f "
                 "bytes/s at 60 frames/s)\n",
                 s.frames, s.rollback.rollbacks, double(s.rollback.rollbacks) / seconds, mean,
                 s.rollback.longest, s.rollback.resimulated, s.rollback.waits, pacing.stalls,
                 double(pacing.stalls) * 60 / seconds, SETTLING, pacing.steadystalls, pacing.delay,
                 session.roundtrip(), link.packetslost, perframe, perframe * 60);
    for (int seat = 0; seat < session.machines(); ++seat) {
        const std::string path = session.path(seat);
        if (!path.empty())
            std::fprintf(stderr, "vantorix: netstats: %s path %s\n", session.player(seat).c_str(),
                         path.c_str());
    }
}

// A message, in a box unless this machine goes on trying at once (then only written).
void say(const std::string& what, bool quietly) {
    if (quietly) return void(std::fprintf(stderr, "vantorix: %s\n", what.c_str()));
    Notify("vantorix: " + what, 1);
}

} // namespace

std::string Tapp::server() const {
    return tools.server.empty() ? settings.server : tools.server;
}

std::unique_ptr<Link> Tapp::reach(const std::string& where, Reaching why) {
    std::string error;
    auto link = std::make_unique<Link>(tools.netsim);
    const std::optional<RoomCode> code = parsecode(where);
    bool reached = false;
    if (code && server().empty()) {
        error = "a room code needs a server: --server HOST:PORT, or server= in settings.txt";
    } else if (!code) {
        reached = link->join(where, error);
    } else if (why == Reaching::Watch) {
        // The server feeds the room's spectators, so the players' upload does not grow.
        reached = link->watchroom(server(), *code, error);
    } else {
        reached = link->joinroom(server(), *code, error, why == Reaching::Back);
    }
    if (reached) return link;
    Notify("vantorix: " + error, 1);
    return nullptr;
}

bool Tapp::playonline(bool hosting, int port, const std::string& where) {
    Series series = playseries(hosting, port, where, 0);
    // A joiner that lost the host tries to take its seat back by itself, again and again for as
    // long as the host waits for it.
    for (long long until = NetNow() + REJOIN_MS;
         (series == Series::Lost || series == Series::Unreached) && NetNow() < until &&
         rejointoken(placeof(where)) != 0;) {
        series = playseries(false, 0, where, until);
        if (series == Series::Lost) until = NetNow() + REJOIN_MS;
    }
    if (series == Series::Lost || series == Series::Unreached) {
        forgetrejoin();
        Notify("vantorix: THE HOST COULD NOT BE REACHED AGAIN", 1);
    }
    return series != Series::Unbegun;
}

// A code is kept as the server knows it, however it was typed.
std::string Tapp::placeof(const std::string& where) {
    const std::optional<RoomCode> code = parsecode(where);
    return code ? describe(*code) : where;
}

Tapp::Series Tapp::playseries(bool hosting, int port, const std::string& where,
                              long long comeback) {
    const bool comingback = comeback != 0;
    const GameIdentity identity{VANTORIX_VERSION, gamefigures()};
    std::string error;
    // A machine coming back to its seat needs no free one: the server lets it in like a
    // spectator, and the host knows it by its token.
    const std::string place = placeof(where);
    const uint64_t token = hosting ? 0 : rejointoken(place);
    std::unique_ptr<Link> link = hosting
                                     ? std::make_unique<Link>(tools.netsim)
                                     : reach(where, token != 0 ? Reaching::Back : Reaching::Seat);
    if (!link) return Series::Unbegun;
    if (hosting && !link->host(port, error)) {
        Notify("vantorix: " + error, 1);
        return Series::Unbegun;
    }
    // A host whose server cannot be found still hosts, by address; its lobby says why there is
    // no room code.
    if (hosting && !server().empty()) link->meet(server(), error);
    const int seed = tools.seeded ? tools.seed : Millisecs();
    const int local = tools.localplayers;
    std::unique_ptr<Session> role;
    if (hosting) {
        role = std::make_unique<Host>(std::move(link), identity, multisettings, seed,
                                      prefs.fireworks, local);
    } else {
        role = std::make_unique<Joiner>(std::move(link), identity, local, token);
    }
    Session& session = *role;
    // A host says where it is on this network: what a machine beside it joins.
    const std::vector<Endpoint> locals = localaddresses(uint16_t(port));
    const std::string here = locals.empty() ? "PORT " + std::to_string(port) : describe(locals[0]);
    const std::string what = hosting      ? "WAITING FOR PLAYERS"
                             : comingback ? "TAKING THE SEAT BACK"
                                          : "JOINING THE GAME";
    // A machine coming back that the host still waits for is let in at once: a try that takes
    // longer (a connection to a host that is gone) gives way to the next.
    const long long until = comingback ? std::min(NetNow() + COMEBACKTRY_MS, comeback) : 0;
    if (!waitforplayers(*this, session, hosting, what, !server().empty(), hosting ? here : where,
                        until)) {
        // A seat kept from before is not there any more, unless this machine lost the host
        // and it may still be reached: then it only says so, and tries again.
        const bool unreached = comingback && (session.lost() || NetNow() > until);
        if (!session.failure().empty()) say(session.failure(), unreached);
        if (!hosting && !unreached) forgetrejoin();
        return unreached ? Series::Unreached : Series::Over;
    }
    if (!hosting) keeprejoin(place, static_cast<Joiner&>(session).token());
    SeedRandom(session.seed());
    players.pausewaits = false;
    MatchStart start;
    start.mode = "multiplayer";
    start.multi = session.settings();
    std::array<int, 4> wins = {};
    SeriesStats stats;
    Pacing pacing;
    const int delay =
        tools.inputdelay != INPUTDELAY_SETTING ? tools.inputdelay : settings.inputdelay;
    // An automatic delay starts long (while the camera glides in, nobody steers much) until
    // the round trip is known, and goes on in every game from where it was.
    pacing.automatic = delay < 0;
    pacing.delay = delay < 0 ? MAXINPUTDELAY : delay;
    if (prefs.musicvolume > 0) startmusic(sounds, musicchannel, prefs.musicvolume / 10.0f);
    for (bool more = true; more;) {
        session.begingame();
        Tmatch match;
        configurematch(match);
        match.fireworks = session.fireworks();
        match.trace = nullptr;    // the rollback writes the final frames only
        match.synctest = nullptr; // and goes back and plays again itself
        OnlineInput input(players);
        match.source = &input;
        // Coming back to a game: it began with the others' tally and random generator.
        if (!session.resumestart().empty()) {
            Replay begun;
            if (!parsereplay(session.resumestart(), begun, error)) {
                Notify("vantorix: the host sent a start this game cannot play", 1);
                break;
            }
            match.random.state = begun.random;
            wins = begun.wins;
        }
        Replay replay = replaystart(match, start, wins);
        Rollback rollback(session.machines(), session.self(), session.seats());
        rollback.trace = tools.trace;
        rollback.replay = &replay;
        if (!match.startgame(start.mode, 1, &start.multi, nullptr, wins)) break;
        if (tools.trace) tools.trace->header(match);
        auto keepreplay = [&] {
            replay.hashes = rollback.hashes;
            if (!replay.runs.empty()) savereplay(replay, tools);
        };
        try {
            playgame(match, rollback, session, input, players, pacing);
        } catch (const ProgramEnd&) {
            // The window closed, a signal came: the others hear at once that this machine
            // leaves, and the game so far is kept.
            session.leave();
            keepreplay();
            throw;
        }
        session.feed(rollback); // the game's last records to the machines watching
        endmatch(match);
        keepreplay();
        addstats(stats.rollback, rollback.stats);
        stats.frames += rollback.frame();
        if (session.left()) break;
        if (!session.failure().empty()) {
            say(session.failure(), !hosting && session.lost());
            break;
        }
        if (rollback.left()) {
            if (rollback.leaver() != session.self()) {
                Notify("vantorix: PLAYER " + std::to_string(rollback.leaver() + 1) +
                           " LEFT THE GAME",
                       1);
            }
            more = false;
        } else if (match.winner >= 1 && match.winner <= 4) {
            wins[size_t(match.winner - 1)] = onemorewin(wins[size_t(match.winner - 1)]);
        }
    }
    stopmusic(musicchannel);
    players.pausewaits = true;
    // The series is over, unless this machine lost the host: it may still come back.
    if (!hosting && !session.lost()) forgetrejoin();
    if (tools.netstats) printstats(stats, pacing, session);
    return !hosting && session.lost() ? Series::Lost : Series::Over;
}

// The games found on the local network, listed under the typed line: the host's name, its
// players and the round trip; Enter on one joins it (or watches it).
void Tapp::joinscreen(bool watching) {
    // After a crash, the game this machine had a seat in comes first.
    std::string address = joinaddress.empty() && !watching ? rejoinplace() : joinaddress;
    const std::string codes = server().empty() ? "ROOM CODES NEED A SERVER: OPTIONS, ONLINE"
                                               : "ROOM CODES MEET THROUGH " + UpperCase(server());
    Discovery local(DEFAULTPORT);
    auto found = [&] {
        local.look(NetNow(), WAITSTEP_MS);
        std::vector<std::string> lines;
        for (const LocalGame& g : local.games())
            lines.push_back(UpperCase(g.name) + "   " + std::to_string(g.present) + " / " +
                            std::to_string(g.wanted) + " PLAYERS   " + std::to_string(g.ping) +
                            " MS");
        return lines;
    };
    const auto go = [&](const std::string& where) {
        if (watching) return void(watchonline(where));
        playonline(false, 0, where);
    };
    for (;;) {
        const int chosen = typeline(
            "HOST ADDRESS OR ROOM CODE:", address,
            {codes, watching ? "ENTER: WATCH   ESCAPE: BACK" : "ENTER: JOIN   ESCAPE: BACK"}, found,
            "OR A GAME ON THIS NETWORK (UP, DOWN):");
        if (chosen == LEFT) return;
        if (chosen >= 0 && size_t(chosen) < local.games().size()) {
            return go(describe(local.games()[size_t(chosen)].at));
        }
        if (chosen != TYPED || address.empty()) continue;
        joinaddress = address;
        // Six letters are a room code when there is a server, else the name of a host.
        const bool code = !server().empty() && parsecode(address);
        const bool port = address.find(':') != std::string::npos || code;
        return go(port ? address : address + ":" + std::to_string(DEFAULTPORT));
    }
}
