// One machine's side of meeting the others through vantorix-server (see rendezvous.h), as
// time and datagrams, without sockets: the link feeds it what arrives for it and sends what
// it gives out, from the game's own socket (0) or a relay socket of the host's (1, 2, ...).
//
// A host registers and keeps its room: every 5 s, every second while it relays (so a server
// that stops answering is noticed before the machines it relays notice each other's
// silence). When a joiner is announced it punches the joiner's addresses for 3 s and answers
// its punches; when the joiner asks for a relay it wants a socket for it and binds it.
//
// A joiner asks for the code, then punches the host's addresses; the first that answers is
// its path (a local address is preferred for a moment, so machines behind one router talk
// over it). With no answer in 3 s it asks for a relay and connects through the server.
#pragma once
#include "net/rendezvous.h"
#include <deque>
#include <optional>
#include <string>
#include <vector>

struct Outbound {
    int socket = 0;
    Endpoint to;
    std::vector<uint8_t> bytes;
};

inline constexpr long long REQUEST_MS = 500;    // a request unanswered is sent again
inline constexpr long long KEEP_MS = 5000;      // a host registers again
inline constexpr long long KEEPRELAY_MS = 1000; // the same while a relay carries a game
inline constexpr long long PUNCH_MS = 100;      // punches to every address of the other
inline constexpr long long DIRECT_MS = 3000;    // punches before a joiner asks for a relay
inline constexpr long long PREFERLOCAL_MS = 150;
// No answer to a request for this long: the server is gone.
inline constexpr long long SERVERSILENCE_MS = 3000;

class Meeting {
  public:
    // A host with its local addresses.
    Meeting(const Endpoint& server, const std::vector<Endpoint>& locals, long long now);
    // A joiner of the room with that code; noseat: it takes no new seat in the game (it
    // watches, or comes back to the seat it had), so a full room lets it in too.
    Meeting(const Endpoint& server, const RoomCode& code, const std::vector<Endpoint>& locals,
            long long now, bool noseat = false);

    // A rendezvous message arrived on a socket.
    void received(int socket, const Endpoint& from, const RzMessage& m, long long now);
    // Sends again, punches, gives up on punching: call it every few milliseconds.
    void tick(long long now);
    // What to send now.
    std::vector<Outbound> take();

    // Host: how many machines it still awaits (the server refuses joiners beyond them).
    void awaiting(int machines);
    // Host: a relay a joiner asked for needs a socket of its own: its token, once.
    std::optional<uint64_t> socketwanted();
    void opened(uint64_t token, int socket, long long now);
    // The room's code: the host's once the server gave it, the one a joiner asked for.
    const std::optional<RoomCode>& code() const { return code_; }

    // Joiner: where to connect, once known, and whether it is the server's relay.
    struct Path {
        Endpoint to;
        bool relayed = false;
    };
    const std::optional<Path>& path() const { return path_; }

    // Why it cannot go on: refused by the server, or the server does not answer.
    const std::string& failure() const { return failure_; }
    bool refused() const { return refused_; }
    // The server answered nothing for SERVERSILENCE_MS after a request, having answered before.
    bool serverlost() const { return lost_; }
    // Host: a relay is open for some machine.
    bool relaying() const;

  private:
    struct Guest {
        uint64_t token = 0;
        std::vector<Endpoint> addresses; // as seen, then the local ones
        long long punchuntil = 0;
        int socket = 0; // its relay socket, 0 for none yet
        bool bound = false;
        bool wanted = false;
    };
    void request(int socket, RzMessage m, long long now);
    void punch(const Endpoint& to, uint64_t token, uint8_t answer);
    void fromserver(int socket, const RzMessage& m, long long now);
    void punched(const Endpoint& from, const RzMessage& m, long long now);
    void resend(long long now);
    void askrelay(long long now);

    bool hosting_;
    Endpoint server_;
    std::vector<Endpoint> locals_;
    std::vector<uint64_t> cookies_{0};
    // The request each socket repeats until answered, and when it last went.
    struct Pending {
        int socket = 0;
        RzMessage m;
        long long sent = 0;
    };
    std::vector<Pending> pending_;
    long long unanswered_ = 0; // when the oldest request still unanswered went, 0 for none
    bool answered_ = false;    // the server answered at least once
    long long lastpunch_ = 0, kept_ = 0;
    uint8_t open_ = 1;

    std::optional<RoomCode> code_;
    std::vector<Guest> guests_;
    std::deque<uint64_t> wanted_;

    // The joiner's side.
    uint64_t token_ = 0;
    std::vector<Endpoint> host_; // as seen, then local
    size_t hostlocals_ = 0;      // from this index on, host_ holds local addresses
    long long found_ = 0;
    std::optional<Endpoint> answered_at_;
    long long answeredwhen_ = 0;
    bool askedrelay_ = false;
    std::optional<Path> path_;

    std::string failure_;
    bool refused_ = false;
    bool lost_ = false;
    std::vector<Outbound> out_;
};
