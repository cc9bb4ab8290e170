// What vantorix-server knows and does, without sockets: a datagram comes in from an address
// at a time, and the datagrams to send come out. It keeps the rooms (a code, the host's
// addresses, the machines that asked to join), the relays (pairs of addresses whose
// datagrams it passes on unread, within each room's allowance), each room's feed for its
// spectators (pieces it passes on unread, to at most eight machines) and what each address
// has asked for this minute. Everything it holds is bounded: rooms by --max-rooms and eight
// per address, joiners by twelve per room, feeds by ROOMFEED each and --feed-mb in all, the
// counts by the addresses that showed their cookie.
#pragma once
#include "net/rendezvous.h"
#include "server/keyed.h"
#include <deque>
#include <map>
#include <unordered_map>
#include <vector>

struct Datagram {
    Endpoint to;
    std::vector<uint8_t> bytes;
};

struct ServerLimits {
    int maxrooms = 1000;
    int relaykbps = 1000;    // each room's relayed datagrams, both ways together
    int watchkbps = 4000;    // what each room's feed sends its spectators
    int feedmegabytes = 256; // all rooms' feeds held at once
};

// A room lives while its host registers again, and this long after.
inline constexpr long long ROOMLIFE_MS = 60000;
// A relay nobody used for this long is closed.
inline constexpr long long RELAYLIFE_MS = 30000;
// Per address and minute.
inline constexpr int WRONGCODES = 20, NEWROOMS = 10, JOINS = 60;
inline constexpr int ROOMSPERADDRESS = 8, GUESTSPERROOM = 12;
// The largest datagram passed on: ENet's packets stay well under it.
inline constexpr size_t LARGESTRELAYED = 1500;
// A room's feed for spectators holds at most this much memory (an hour of a game, about); a
// spectator that has not asked for this long no longer counts; a host that has not fed its
// room for this long is gone for its spectators.
inline constexpr size_t ROOMFEED = 4 * 1024 * 1024;
inline constexpr long long WATCHERLIFE_MS = 5000;
inline constexpr long long FEEDSILENCE_MS = 5000;

struct ServerCounts {
    long long forwarded = 0, overcap = 0, unknown = 0, malformed = 0, challenged = 0;
    long long pieces = 0; // of feeds, sent to spectators
};

class RoomServer {
  public:
    RoomServer(const ServerLimits& limits, uint64_t k0, uint64_t k1);
    // Answers one datagram: what to send goes to out.
    void receive(const Endpoint& from, const uint8_t* data, size_t size, long long now,
                 std::vector<Datagram>& out);
    // Forgets rooms, relays and counts whose time has run out; call it about once a second.
    void expire(long long now);
    size_t rooms() const { return rooms_.size(); }
    size_t relays() const { return relays_.size() / 2; }
    // Memory the feeds hold, all rooms together.
    size_t feedbytes() const { return feedbytes_; }
    const ServerCounts& counts() const { return counts_; }

  private:
    struct Guest {
        uint64_t token = 0;
        Endpoint at;         // the joiner as seen
        bool relay = false;  // it asked for a relay
        long long asked = 0; // its latest Join or Relay
    };
    // Bytes a room may still send, filled at its rate up to a second's worth.
    struct Allowance {
        double bytes = 0;
        long long refilled = 0;
        bool spend(size_t size, int kbps, long long now);
    };
    // The pieces of the host's feed for its spectators, from the first piece of the game
    // before the newest (see feeding.h), and who takes them.
    struct Feed {
        std::deque<std::vector<uint8_t>> pieces;
        uint32_t first = 0, next = 0; // the numbers of pieces.front() and of the next to come
        std::map<uint32_t, RzMessage> ahead; // pieces that came before their turn
        std::deque<uint32_t> starts;         // where the newest two games begin
        size_t bytes = 0;                    // memory held, as counted against the limits
        bool over = false; // too much to hold: nothing is held until the next game begins
        long long fed = 0;
        struct Watcher {
            Endpoint at;
            long long pulled = 0;
        };
        std::vector<Watcher> watchers;
        Allowance allowance;
    };
    struct Room {
        Endpoint host;
        long long seen = 0;
        uint8_t open = 0;
        std::vector<Endpoint> locals;
        std::vector<Guest> guests;
        Allowance allowance; // of the relay
        Feed feed;
    };
    struct RelayEnd {
        Endpoint other;
        RoomCode code;
        long long used = 0;
    };
    struct Quota {
        long long since = 0;
        int wrongcodes = 0, newrooms = 0, joins = 0, rooms = 0;
    };

    void relay(const Endpoint& from, const uint8_t* data, size_t size, long long now,
               std::vector<Datagram>& out);
    void handle(const Endpoint& from, const RzMessage& m, long long now,
                std::vector<Datagram>& out);
    void registerroom(const Endpoint& from, const RzMessage& m, long long now,
                      std::vector<Datagram>& out);
    std::map<RoomCode, Room>::iterator askfor(const Endpoint& from, const RoomCode& code,
                                              long long now, std::vector<Datagram>& out);
    void join(const Endpoint& from, const RzMessage& m, long long now, std::vector<Datagram>& out);
    void askrelay(const Endpoint& from, const RzMessage& m, long long now,
                  std::vector<Datagram>& out);
    void bind(const Endpoint& from, const RzMessage& m, long long now, std::vector<Datagram>& out);
    void feed(const Endpoint& from, const RzMessage& m, long long now, std::vector<Datagram>& out);
    void take(Feed& feed, const RzMessage& m);
    void forget(Feed& feed, uint32_t before);
    void pull(const Endpoint& from, const RzMessage& m, long long now, std::vector<Datagram>& out);
    // Whether the machine is fed the room's feed (it asked again now).
    static bool watches(Feed& feed, const Endpoint& from, long long now);
    static bool fedlately(const Room& room, long long now);
    void serve(const RoomCode& code, Room& room, const Endpoint& to, uint32_t from, long long now,
               std::vector<Datagram>& out);
    // The room's host hears what its feed holds and how many watch.
    static Datagram fed(const RoomCode& code, const Room& room);
    Quota* quota(uint32_t ip, long long now);
    RoomCode freshcode();
    void closerelay(const Endpoint& end);
    void close(std::map<RoomCode, Room>::iterator room, long long now);

    ServerLimits limits_;
    Keyed keyed_;
    std::map<RoomCode, Room> rooms_;
    std::map<Endpoint, RoomCode> byhost_;
    std::unordered_map<uint64_t, RelayEnd> relays_; // by the end's address
    std::unordered_map<uint32_t, Quota> quotas_;    // by IPv4 address
    std::map<RoomCode, long long> closed_;          // codes of rooms gone, when
    std::deque<RoomCode> closedorder_;
    ServerCounts counts_;
    size_t feedbytes_ = 0;
};
