// Spectators fed through vantorix-server: the host hands the server, once, what it would send
// every spectator (each game's start, its records as they are played, how many watch, the
// last word of the series), and the server hands it to up to WATCHERSPERROOM spectators, so
// the players' upload does not grow with them.
//
// The feed is a stream of messages, each a 4-byte length and its bytes, cut into numbered
// pieces of at most PIECESIZE bytes. A game's start begins a piece of its own, flagged: the
// server forgets what came before the game before it, and a new spectator begins at the
// newest game's first piece.
//
// The host's side (Upload) sends the pieces the server does not hold yet, FEEDWINDOW at a
// time, again every RESEND_MS until the server says it holds them; with nothing to send it
// still asks every KEEPFEED_MS, which keeps the feed alive and tells it how many watch.
//
// The spectator's side (Pulling) first asks where the newest game begins, then for the pieces
// from the first it lacks: again as soon as they came, PULLIDLE_MS after an answer with
// nothing new, RESEND_MS after no answer. What it puts together is bounded: pieces beyond the
// window are not kept, and it asks for no more while a long message waits to be read.
#pragma once
#include "net/meeting.h"
#include "net/rendezvous.h"
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

inline constexpr long long RESEND_MS = 300;
inline constexpr long long KEEPFEED_MS = 1000;
inline constexpr long long PULLIDLE_MS = 50;
// No message of the feed is longer (a game's start, or a Records message, is far shorter).
inline constexpr size_t LARGESTFED = 64 * 1024;
// What a host keeps for a server that does not take it: beyond this it stops feeding.
inline constexpr size_t MOSTUNHELD = 4 * 1024 * 1024;

class Upload {
  public:
    explicit Upload(const Endpoint& server) : server_(server) {}
    // A message for every spectator; a game's start begins a piece of its own.
    void feed(const std::vector<uint8_t>& message, bool gamestart);
    // The server's Challenge or Fed.
    void received(const Endpoint& from, const RzMessage& m);
    // Cuts what was fed into pieces and sends what is due, once the room has its code.
    void tick(long long now, const std::optional<RoomCode>& code);
    std::vector<Outbound> take() { return std::move(out_); }
    // Machines watching through the server, as it last said.
    int watchers() const { return watchers_; }
    // Everything fed is held by the server (or the feed was given up).
    bool done() const { return queue_.empty() && open_.empty(); }

  private:
    struct Piece {
        uint32_t number = 0;
        bool gamestart = false;
        std::vector<uint8_t> bytes;
        long long sent = 0; // 0: not yet
    };
    void cut(bool gamestart);
    void giveup();
    void send(const RoomCode& code, const Piece& piece);

    Endpoint server_;
    uint64_t cookie_ = 0;
    std::vector<uint8_t> open_; // fed, not yet cut into pieces
    bool openstart_ = false;    // open_ begins with a game's start
    std::deque<Piece> queue_;   // pieces the server does not hold yet
    size_t queued_ = 0;         // their bytes
    uint32_t numbered_ = 0;     // pieces numbered so far
    bool givenup_ = false;
    long long asked_ = 0;
    int watchers_ = 0;
    std::vector<Outbound> out_;
};

class Pulling {
  public:
    Pulling(const Endpoint& server, const RoomCode& code, long long now);
    // A message from the server.
    void received(const Endpoint& from, const RzMessage& m, long long now);
    void tick(long long now);
    std::vector<Outbound> take() { return std::move(out_); }
    // The next whole message of the feed, if there is one; an empty one when the feed holds
    // what is no message at all.
    std::optional<std::vector<uint8_t>> next();
    // The server answered: the feed is there.
    bool answered() const { return start_.has_value(); }
    // Why the feed stopped: refused, the server silent, or the host no longer feeding it.
    const std::string& failure() const { return failure_; }

  private:
    void pull(long long now);
    void append(const std::vector<uint8_t>& bytes);

    Endpoint server_;
    RoomCode code_;
    uint64_t cookie_ = 0;
    std::optional<uint32_t> start_; // where the newest game began, once the server said
    uint32_t want_ = 0;             // the first piece not yet taken
    uint32_t askedfrom_ = 0;        // the first piece of the latest request
    std::map<uint32_t, std::vector<uint8_t>> early_; // pieces after a missing one
    std::vector<uint8_t> stream_;                    // taken, not yet read
    size_t read_ = 0;
    bool broken_ = false; // a length no message has: nothing after it is read
    long long heard_ = 0, due_ = 0;
    std::string failure_;
    std::vector<Outbound> out_;
};
