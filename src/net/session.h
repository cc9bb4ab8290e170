// An online series as one machine sees it, over a transport: game after game, every machine's
// parts of the frames go to every other (through the host, sent again every frame until
// acknowledged), the state hashes of final frames are compared at the host, and a machine
// that leaves, sends nothing usable for 5 s or goes out of step ends the series for everyone
// with a message. The host and a joining machine are the two roles (host.h, joiner.h); what
// they share is here.
//
// Another machine may lie: everything it sends is taken in time and memory bounded by the
// game, whatever it sends. Only parts the rollback can use are kept, the logs a machine
// relays end where the others stop acknowledging (one that never does is dropped as silent),
// hashes wait for comparison only near the frames the host has, a connection that says no
// valid hello within HELLO_MS is dropped, and packets are taken at most MOSTEVENTS a look.
#pragma once
#include "match/rollback.h"
#include "match/settings.h"
#include "net/transport.h"
#include "net/wire.h"
#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a machine must share with the others to play with them.
struct GameIdentity {
    std::string version;
    uint64_t figures = 0;
};

inline constexpr long long SILENCE_MS = 5000; // a machine this long silent is gone
inline constexpr long long HELLO_MS = 3000;   // a connection must say hello by then
inline constexpr int DEFAULTPORT = 24680;     // where the menus host and join
inline constexpr int MOSTEVENTS = 256;        // packets taken in one look; the rest wait
inline constexpr size_t MOSTSPECTATORS = 8;   // machines watching a series
inline constexpr long long REJOIN_MS = 30000; // a machine that drops out may come back this long

// The input delay a round trip asks for: the others' parts should come while a machine is at
// most four frames past them (the round trip measured from a part's sending to its
// acknowledgement holds a frame or two of sending: no delay up to about 130 ms, four from
// about 240 ms on).
int autoinputdelay(int roundtripms);

class Session {
  public:
    Session(std::unique_ptr<Transport> transport, const GameIdentity& identity, int players);
    virtual ~Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // One look at the network before the series: true once every machine is there and has
    // the start (false meanwhile, or with failure() set when it cannot be).
    virtual bool lobby() = 0;
    // Players there so far, this machine's included.
    virtual int present() const = 0;
    // The machines that came to the host's lobby, in order: their players, whether their
    // packets come through the server's relay, the round trip of their echo (-1 before it).
    struct Arrival {
        int players = 1;
        bool relayed = false;
        int ping = -1;
    };
    virtual std::vector<Arrival> arrivals() const { return {}; }
    int machines() const { return machines_; }
    // Machines watching the series (what the host tells every machine).
    int watching() const { return watching_; }
    // The host hands the final records of the game so far to the machines watching it; the
    // others have none to give.
    virtual void feed(const Rollback& /*rollback*/) {}
    // The machine of every figure (-1 for none), and this machine's figures (0-based).
    const std::array<int, 4>& seats() const { return figureseats_; }
    std::vector<int> myfigures() const;
    int self() const { return self_; }
    int seed() const { return seed_; }
    int fireworks() const { return fireworks_; }
    const Tmultisettings& settings() const { return settings_; }

    // A new game of the series begins.
    virtual void begingame();
    // This machine's part of the frame it is about to play.
    void played(long frame, const MatchInput& part);
    // Hands what arrived to the rollback, sends what others still lack, compares hashes and
    // notices machines gone silent.
    void pump(Rollback& rollback);
    // After the rollback's correction: a machine gone or silent while this game still needs
    // it ends the series (once the game is over here, nothing more is needed of it).
    void watch(const Rollback& rollback);
    // The game is over and every machine knows all of it: the next one may begin.
    bool settled(const Rollback& rollback) const;
    // The machine this one waits for (the first of them), while it cannot play on or the
    // game is over but not settled; -1 when it waits for none.
    int awaited(const Rollback& rollback) const;
    // While a machine that dropped out may still come back to its seat: the seat, and the
    // seconds left (-1 when no machine is away).
    int awayseat() const { return awayseat_; }
    int countdown() const;
    // A machine that came back to its seat plays the game it dropped out of from its first
    // frame: its own parts of the first resumed() frames are the ones it sent before (own()
    // gives each once it arrived, nothing before), then it plays on. 0 when not coming back.
    long resumed() const { return resumed_; }
    std::optional<MatchInput> own(long frame) const;
    // The replay's start of the game it comes back to (the tally, the random generator).
    const std::string& resumestart() const { return resumestart_; }
    // This machine leaves the series: the others are told; failure() stays empty.
    void leave();
    bool left() const { return left_; }
    // "PLAYER 3": the first figure of the machine.
    std::string player(int seat) const;
    // Why the series ended for everyone ("PLAYER 2 LEFT THE GAME", "OUT OF SYNC"), or why
    // it could not start; empty while it goes on.
    const std::string& failure() const { return failure_; }
    // The series failed here because the host went, or could not be reached (it may go on
    // without this machine for a while: a joiner that comes back in time takes its seat
    // again).
    bool lost() const { return lost_; }

    Transport& transport() { return *transport_; }
    // How this machine's packets reach the seat's machine: "direct", "relayed" by the server,
    // or "" when they reach it only through the host.
    std::string path(int seat) const {
        if (seat == self_ || seat < 0 || seat >= machines_ || !talksto(seat)) return {};
        return transport_->relayed(linkof(seat)) ? "relayed" : "direct";
    }
    // How many frames this machine is ahead of the slowest machine it plays with, as far as
    // their last reports and the recent round trip tell (negative: behind).
    double advantage(const Rollback& rollback) const;
    // When this machine should play the first frame of the series' first game, on the
    // network's clock: so every machine begins it at the same moment.
    long long beginat() const { return beginat_; }
    // The mean time from sending a frame's part to its acknowledgement by every machine, ms
    // (the impairment's delays included, as the game lives them).
    int roundtrip() const { return rounds_ ? int(roundtotal_ / rounds_) : 0; }
    // The same over the last second or so; 0 before the first acknowledgement.
    int recentroundtrip() const { return int(recent_); }

  protected:
    struct Log {
        long base = 0;
        std::deque<MatchInput> parts;
        long end() const { return base + long(parts.size()); }
    };
    // The role's part of a look at the network: one event, what is sent after the look.
    virtual void handle(const NetEvent& event, Rollback& rollback) = 0;
    // After the events of a look, whatever else the role looks after.
    virtual void tidy() {}
    virtual void sendparts(Rollback& rollback) = 0;
    virtual void sendhashes(const Rollback& rollback) = 0;
    // Tells the others why the series ends.
    virtual void tellover(const Over& over) = 0;
    // Whether this machine passes the parts of frames to machine r and takes its
    // acknowledgements: the host to every other, a joiner to the host only.
    virtual bool talksto(int r) const = 0;
    // The host takes a machine's own parts from it and keeps them to pass on; a joiner takes
    // anyone's but its own, through the host.
    virtual bool relays() const = 0;
    virtual long long silence() const = 0;
    // The transport's number for the seat's machine.
    virtual int linkof(int seat) const = 0;
    // A machine the game needs is gone or silent: whether to wait for it to come back (the
    // host waits REJOIN_MS; a joiner whose host is gone cannot).
    virtual bool waitfor(int /*seat*/) { return false; }

    // What the machine sent that the game can use: new parts, new acknowledgements, or that
    // it is in the next game already.
    bool handleparts(int seat, const Parts& parts, Rollback& rollback);
    // An end of the series from another machine: the one it names left, went silent or out
    // of step.
    void handleover(int who, OverReason reason);
    void fail(OverReason reason, int seat, bool tell);
    // The machine still lacks something of this game that this one has to give it.
    bool missing(int r) const;
    void trimlogs();
    bool away(int seat) const; // gone, or silent too long
    PartBlock block(int origin, long from) const;
    // This machine's own parts, coming back: those of the frames it played before.
    bool takeown(const PartBlock& block);
    // Coming back: the others' parts beyond the rollback's reach, kept; and handed to it.
    bool keepahead(const PartBlock& block);
    void handover(Rollback& rollback) const;
    static constexpr long KEPTBEYOND = 64; // frames past the ones played before

    std::unique_ptr<Transport> transport_;
    GameIdentity identity_;
    int players_ = 1; // this machine's
    int machines_ = 2, self_ = 0, seed_ = 0, fireworks_ = 1;
    Tmultisettings settings_;
    bool started_ = false;
    std::array<int, 4> figureseats_{-1, -1, -1, -1};
    std::array<Log, 4> logs_;                  // parts by seat (the joiners keep their own only)
    std::array<std::array<long, 4>, 4> acked_; // [receiver][origin]: the next frame it has
    std::array<bool, 4> ahead_{};              // the seat is in a later game already
    std::array<long long, 4> heard_{};         // when each seat was last heard
    std::array<bool, 4> gone_{};               // the seat's machine disconnected
    std::array<long, 4> reported_{};           // the frame each seat last said it plays
    std::array<long long, 4> reportedat_{};    // and when that arrived
    uint32_t game_ = 0;
    int watching_ = 0;
    int awayseat_ = -1;
    long long awayuntil_ = 0;
    // The host keeps every machine's parts of the game from its first frame (packed), for a
    // machine that comes back.
    std::array<std::vector<uint32_t>, 4> history_;
    long resumed_ = 0;
    std::vector<uint32_t> ownparts_; // packed: a lying host costs 4 bytes a frame at most
    std::array<std::vector<uint32_t>, 4> kept_; // the others' parts from the first frame on
    std::string resumestart_;
    size_t hashessent_ = 0;
    long long beginat_ = 0;
    std::string failure_;
    bool lost_ = false; // see lost()
    // A first guess at the round trip before any part was acknowledged.
    void guessroundtrip(long long ms) {
        if (rounds_ == 0) recent_ = double(ms);
    }

  private:
    long long lastsend_ = 0;
    std::deque<long long> senttimes_; // when each part of this machine's log was first sent
    long long roundtotal_ = 0, rounds_ = 0;
    double recent_ = 0;
    bool newpart_ = false;
    bool left_ = false;
};
