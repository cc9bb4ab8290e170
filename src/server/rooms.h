// What vantorix-server knows and does, without sockets: a datagram comes in from an address
// at a time, and the datagrams to send come out. It keeps the rooms (a code, the host's
// addresses, the machines that asked to join), the relays (pairs of addresses whose
// datagrams it passes on unread, within each room's allowance) and what each address has
// asked for this minute. Everything it holds is bounded: rooms by --max-rooms and eight per
// address, joiners by eight per room, the counts by the addresses that showed their cookie.
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
    int relaykbps = 1000; // each room's relayed datagrams, both ways together
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

struct ServerCounts {
    long long forwarded = 0, overcap = 0, unknown = 0, malformed = 0, challenged = 0;
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
    const ServerCounts& counts() const { return counts_; }

  private:
    struct Guest {
        uint64_t token = 0;
        Endpoint at;         // the joiner as seen
        bool relay = false;  // it asked for a relay
        long long asked = 0; // its latest Join or Relay
    };
    struct Room {
        Endpoint host;
        long long seen = 0;
        uint8_t open = 0;
        std::vector<Endpoint> locals;
        std::vector<Guest> guests;
        double allowance = 0; // bytes the relay may still pass on
        long long refilled = 0;
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
    void join(const Endpoint& from, const RzMessage& m, long long now, std::vector<Datagram>& out);
    void askrelay(const Endpoint& from, const RzMessage& m, long long now,
                  std::vector<Datagram>& out);
    void bind(const Endpoint& from, const RzMessage& m, long long now, std::vector<Datagram>& out);
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
};
