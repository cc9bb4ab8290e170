// A machine that watches an online series: it says hello with no players, then takes from the
// host the start of every game and the game's final records, in order, for the game to play
// as a replay that is still being recorded. It sends nothing more, so it can neither slow the
// players down nor change their game.
//
// The host may lie like any other machine: a start this game cannot play, records out of
// order or beyond a six-hour game, a message no host sends a spectator, all end the watching
// with a message; at most two games are held at once, the one watched and the next.
#pragma once
#include "match/replay.h"
#include "net/session.h"
#include <deque>
#include <memory>
#include <string>

class Spectator {
  public:
    Spectator(std::unique_ptr<Transport> transport, const GameIdentity& identity);

    // One look at the network: what arrived is kept, at most MOSTEVENTS packets.
    void pump();
    // A game of the series as received so far: its start and its records.
    struct Game {
        uint32_t number = 0;
        Replay replay;
        long frames = 0; // received
    };
    bool hasgame() const { return !games_.empty(); }
    const Game& current() const { return games_.front(); }
    // The game watched was played to its end: the next one (when it came) is watched now.
    void nextgame() { games_.pop_front(); }
    // Machines watching the series, this one included.
    int watching() const { return watching_; }
    // The host is gone or said the series ended: nothing more will come.
    bool ended() const { return ended_; }
    // Why the watching ended: the host's refusal or its word that the series ended, the
    // connection lost, or what the host sent that cannot be played. Empty while all is well.
    const std::string& failure() const { return failure_; }
    Transport& transport() { return *transport_; }

  private:
    void handle(const NetEvent& e);
    void begin(const std::vector<uint8_t>& bytes);
    void take(const std::vector<uint8_t>& bytes);
    void refuse(const std::string& why);

    std::unique_ptr<Transport> transport_;
    GameIdentity identity_;
    std::deque<Game> games_;
    int watching_ = 0;
    bool ended_ = false, begun_ = false;
    std::string failure_;
};
