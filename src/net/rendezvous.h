// The messages between a game and vantorix-server, the rendezvous and relay server, and the
// punches machines send each other to open a path through their routers. They share the
// game's UDP socket with ENet, so each begins with "VXR" and a kind, which no ENet datagram of
// ours begins with (it would name a connection number far beyond any host's). The hosting
// machines of a local network answer a Discover broadcast with Here the same way.
//
// How a game is found by its room code:
//  - the hosting machine registers (its local addresses, how many machines it still awaits)
//    and gets a six-character room code and the address the server sees it at; it registers
//    again every few seconds to keep the room;
//  - a joining machine asks for the code and gets the host's addresses (seen and local) and a
//    token; the host hears of the joiner's the same way (Joining);
//  - both send punches carrying the token to every address of the other; the first punch
//    that arrives names a path, and the joiner connects over it;
//  - when no punch gets through in time, the joiner asks for a relay; the host sends a bind
//    from a socket of its own for that machine, and the server then passes every datagram
//    between that socket and the joiner's without reading it.
//
// Nobody can make the server send an address more than it received from it: every request
// is padded to REQUESTSIZE, and one without the cookie the server gave that address (a
// keyed hash of it) is answered only by a Challenge carrying the cookie, which is smaller.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An IPv4 address and port, both in host order.
struct Endpoint {
    uint32_t ip = 0;
    uint16_t port = 0;
    bool operator==(const Endpoint&) const = default;
    auto operator<=>(const Endpoint&) const = default;
};
// "203.0.113.5:24690".
std::string describe(const Endpoint& e);
// "HOST:PORT" with a dotted IPv4 host; false for anything else.
bool parseendpoint(const std::string& text, Endpoint& e);

// Room codes: six characters of an alphabet without the ones read alike (0 O, 1 I L).
inline constexpr int CODELENGTH = 6;
inline constexpr char CODEALPHABET[] = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
using RoomCode = std::array<char, CODELENGTH>;
// The code in capitals when text is one (lower case and surrounding spaces forgiven).
std::optional<RoomCode> parsecode(const std::string& text);
std::string describe(const RoomCode& code);

enum class Rz : uint8_t {
    Challenge = 1, // server: the cookie to send with every request from this address
    Register,      // host: keep my room (the machines I await, my local addresses)
    Registered,    // server: the room's code and the host's address as seen
    Join,          // joiner: the code, my local addresses
    Found,         // server to joiner: the host's addresses, the token, my address as seen
    Joining,       // server to host: a joiner's addresses and token
    Refused,       // server: why not
    Relay,         // joiner: no punch came through; server to host: open a relay for token
    Bind,          // host, from the relay socket: this socket carries token's game
    Relaying,      // server: the relay for token is open
    Punch,         // machine to machine: token, and whether it answers a punch
    Discover,      // a broadcast on the local network: any games hosted here?
    Here,          // a hosting machine's answer: its name, players there and wanted
    Feed,          // host: the next piece of what its spectators are sent (feeding.h)
    Fed,           // server to host: the pieces it holds so far, and how many watch
    Pull,          // spectator: the pieces of the room's feed from this one on
    Piece,         // server to spectator: one piece, or none when there is none yet
};

enum class RzRefusal : uint8_t {
    UnknownCode = 1, // no room has that code
    Closed,          // the room had that code, but its host is gone
    Full,            // the room awaits no more machines
    TooMany,         // this address tried too many codes or rooms this minute
    ServerFull,      // the server holds as many rooms as it may
    Watched,         // as many machines watch the room's game as may
    Unwatchable,     // the server holds none of the game this spectator needs
};

// Local addresses a machine reports: its interfaces' IPv4 addresses with its port.
inline constexpr size_t MOSTLOCALS = 4;
// Every request to the server is this long, or (a piece of a feed) longer than any answer;
// nothing the server sends an address that has not shown its cookie is longer.
inline constexpr size_t REQUESTSIZE = 64;
inline constexpr size_t CHALLENGESIZE = 12;
// Machines a room's feed goes to at once, and the pieces of it sent for one request.
inline constexpr uint8_t WATCHERSPERROOM = 8;
inline constexpr uint32_t FEEDWINDOW = 16;
// The most bytes of a spectators' feed one datagram carries, and the largest datagram of ours.
inline constexpr size_t PIECESIZE = 1024;
inline constexpr size_t LARGESTRZ = 32 + PIECESIZE;

struct RzMessage {
    Rz kind = Rz::Challenge;
    uint64_t cookie = 0; // the address's cookie: from the server in a Challenge, back in requests
    RoomCode code{};
    uint64_t token = 0;
    uint8_t open = 0;   // Register: machines the host still awaits; Join: 1 for no new seat
    uint8_t answer = 0; // Punch: 1 when it answers a punch
    RzRefusal refusal = RzRefusal::UnknownCode;
    Endpoint seen;                   // Registered, Found: the receiver as the server sees it
    Endpoint other;                  // Found: the host as seen; Joining, Relay: the joiner as seen
    std::vector<Endpoint> locals;    // Register, Join: the sender's; Found, Joining: the other's
    std::string name;                // Here: the host's name, printable, at most NAMELENGTH
    uint8_t present = 0, wanted = 0; // Here: players in the lobby, and in the game;
                                     // Fed: machines watching
    // Feed, Piece: the piece's number, and its bytes (at most PIECESIZE); Fed: the pieces
    // held (the next one wanted); Pull: the first piece wanted.
    uint32_t piece = 0;
    std::vector<uint8_t> bytes;
    // Feed: the piece begins a game; Pull: this spectator has no piece yet (it is sent the
    // newest game from its first piece); Piece: the host still feeds the room.
    uint8_t flag = 0;
};
inline constexpr size_t NAMELENGTH = 20;

// Bytes of a message; requests padded to REQUESTSIZE.
std::vector<uint8_t> encode(const RzMessage& m);
// Whether the datagram is one of ours at all (the magic): the rest goes to ENet or the relay.
bool isrendezvous(const uint8_t* data, size_t size);
// The message, when the bytes are a whole one of a known kind with fields in range.
std::optional<RzMessage> decoderz(const uint8_t* data, size_t size);
// Why the server refused, as the game says it.
const char* refusaltext(RzRefusal refusal);
