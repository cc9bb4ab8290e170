// The hosting machine of an online series: it waits for the others, checks that they run the
// same game with the same figure file, learns the round trip to each (an echo), hands them its
// settings, seed and fireworks with their seats, begins the first game half the longest round
// trip later (when the start reaches them), passes every machine's parts of the frames on to
// the others, and compares the state hashes every machine sends with its own.
#pragma once
#include "net/session.h"
#include <array>
#include <map>
#include <utility>

class Host : public Session {
  public:
    // With this machine's players: waits on the transport for other machines until there are
    // settings.players players in all.
    Host(std::unique_ptr<Transport> transport, const GameIdentity& identity,
         const Tmultisettings& settings, int seed, int fireworks, int players);

    bool lobby() override;
    int present() const override;
    std::vector<Arrival> arrivals() const override;
    void begingame() override;
    // The start of the game to a machine that has not had it, and the final records it lacks.
    void feed(const Rollback& rollback) override;

  private:
    void handle(const NetEvent& event, Rollback& rollback) override;
    // Connections that are no machine of the game and said no valid hello in time go.
    void tidy() override;
    void sendparts(Rollback& rollback) override;
    void sendhashes(const Rollback& rollback) override;
    // Everyone hears why but the machine that left or went silent.
    void tellover(const Over& over) override;
    bool talksto(int r) const override { return r != 0; }
    bool relays() const override { return true; }
    long long silence() const override { return SILENCE_MS; }
    int linkof(int seat) const override { return links_[size_t(seat)]; }
    // A machine gone or silent may come back to its seat for REJOIN_MS: its connection is
    // closed, and the others hear every second how long it has left.
    bool waitfor(int seat) override;
    // The seat's machine came back with its token on a new connection: it gets its start and
    // the game so far.
    void comeback(int seat, int link);
    void tellaway();
    Start startof(int seat) const;

    void handlehello(int link, const std::vector<uint8_t>& bytes);
    void addspectator(int link);
    void dropspectator(int link);
    // Every machine hears how many watch.
    void tellwatching();
    struct Spectator;
    // A message to a spectator: over its connection, or into the server's feed.
    void tell(const Spectator& s, const std::vector<uint8_t>& message, bool gamestart = false);
    // The server feeds a new number of spectators.
    void noticewatchers();
    // Spectators connected to this machine (not fed by the server).
    int direct() const;
    void feed(Spectator& s, const std::vector<InputRun>& runs, int most);
    // The recorded frames not yet sent to the spectator, counted as far as a batch.
    static long unsent(const Spectator& s, const std::vector<InputRun>& runs);
    void handlehash(int seat, const Hash& hash);
    void startseries();
    int seatof(int link) const;

    std::vector<int> links_; // the link number of each seat (seat 0: none)
    // A machine that said hello: its players, and the round trip its echo took (-1 while
    // the echo is away).
    struct Caller {
        int link = 0, players = 1;
        long long asked = 0;
        long long roundtrip = -1;
    };
    bool ready() const; // every caller there is echoed, or the echo given up on

    std::vector<Caller> waiting_;
    // A machine that watches: the game whose start it was sent, and how far into that game's
    // records it has been sent (the run, the frames of it, the frames in all).
    struct Spectator {
        int link = 0;
        uint32_t game = 0;
        size_t run = 0;
        long inrun = 0, frames = 0;
    };
    std::vector<Spectator> spectators_;
    int served_ = 0; // spectators the server feeds (as many again may connect to the host)
    // Rejoining: each seat's token; since when it is away (0: it is not); the frames of its
    // own parts the others have, for a machine that came back (0 otherwise), and whether it
    // still awaits the game's start.
    std::array<uint64_t, 4> tokens_{};
    std::array<long long, 4> awaysince_{};
    std::array<long, 4> owned_{};
    std::array<bool, 4> toresume_{};
    long long toldaway_ = 0;
    std::map<int, long long> strangers_; // connections not (yet) of the game, since when
    std::map<long, uint64_t> myhashes_;  // the newest few
    std::map<std::pair<int, long>, uint64_t> theirhashes_; // waiting to be compared
};
