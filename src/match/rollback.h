// Playing one game on several machines without waiting for the network: every machine plays
// each frame at once with its own players' inputs and guesses the others' (a player keeps
// doing what they last did). When another machine's input for a past frame arrives and
// differs from the guess, the game goes back to its snapshot of that frame and plays the
// frames since again, undrawn, with what is now known. Only frames every machine has
// confirmed are final; the trace is written for those alone, so it is the same everywhere.
// The network is not known here: a transport hands in what arrived and sends what was played.
#pragma once
#include "match/input.h"
#include "match/replay.h"
#include "match/snapshot.h"
#include <array>
#include <deque>
#include <string>
#include <vector>

class Tmatch;
class MatchTrace;

// Frames a machine may play ahead of the last frame it has every input of.
inline constexpr int MAXROLLBACK = 8;
// A machine may send its players' parts up to this many frames before they are played (its
// input delay), so the others know them sooner and guess less.
inline constexpr int MAXINPUTDELAY = 4;

struct RollbackStats {
    long rollbacks = 0; // times the game went back
    long longest = 0;   // frames played again in the longest of them
    long resimulated = 0;
    long waits = 0; // frames a machine could not play for lack of inputs
};

class Rollback {
  public:
    // peers: how many machines take part, this one included; figures[k] is the machine whose
    // player steers figure k + 1.
    Rollback(int peers, int self, std::array<int, 4> figures);

    // The next frame to play, and whether it may be played now: the game is not over and
    // no machine is more than MAXROLLBACK frames behind in what it has sent.
    long frame() const { return now_; }
    bool canplay() const { return now_ < over_ && now_ - final_ < MAXROLLBACK; }
    // The game ended (its end screen was left, or someone left with Escape) at a frame every
    // machine has confirmed: nothing can take it back any more.
    bool over() const { return final_ >= over_; }
    // Whether it ended by Escape rather than by its end screen, and whose.
    bool left() const { return left_; }
    int leaver() const { return leaver_; }
    // A machine's part of a frame: its figures' steering and its flags (pause, result
    // screens). Out of order, twice or for frames long final: all are taken in their stride,
    // each in constant time. Only parts this game can use are kept: those not yet known, below
    // horizon() (no honest machine is further ahead, with its input delay and this one's).
    void arrived(int peer, long frame, const MatchInput& part);
    long horizon() const { return now_ + MAXROLLBACK + 1 + 2 * MAXINPUTDELAY; }
    // Goes back and plays again when an arrived part contradicted a guess; writes the trace
    // of the frames that became final.
    void correct(Tmatch& match);
    // This frame's record: the local part given, the others' confirmed or guessed. Keeps the
    // game's state at the frame's start first; the caller then plays the frame (shown) when
    // playing() says so.
    MatchInput begin(Tmatch& match, const MatchInput& local);
    // Whether the frame begun is played: a pause press from any machine stops the game for
    // every machine, frame for frame, until the next press, whose frame is played again. The
    // frames in between change nothing and are neither traced nor recorded, as a pause is in
    // a game on one machine.
    bool playing() const { return playedat_[size_t(now_ % RING)]; }
    // After the frame was played: keeps its trace line until it is final.
    void end(const Tmatch& match);
    // The last frame every machine's part is known of and was played with, plus one.
    long final() const { return final_; }
    // The frames of the machine's parts known in a row from the start.
    long known(int peer) const;

    MatchTrace* trace = nullptr; // written for final frames only
    // The final frames' records go here when set.
    Replay* replay = nullptr;
    // The state hashes of the final frames, as a replay keeps them (before every HASHEVERY-th
    // frame).
    std::vector<uint64_t> hashes;
    RollbackStats stats;

  private:
    static constexpr int RING = MAXROLLBACK + 1;
    // Parts that arrived past a gap lie between the first unknown frame (at least final_, at
    // most MAXROLLBACK behind now_) and horizon(): this many frames at most.
    static constexpr int EARLY = 2 * MAXROLLBACK + 2 + 2 * MAXINPUTDELAY;
    struct Early {
        long frame = -1; // the frame of the part kept here, -1 for none
        MatchInput part;
    };
    struct Peer {
        std::deque<MatchInput> parts;     // known parts from frame base on, in order
        std::array<Early, EARLY> early{}; // arrived past a gap, by frame % EARLY
        long base = 0;
        MatchInput last; // the last known part: the guess for the frames after it
    };
    MatchInput guess(int peer, long frame) const;
    const MatchInput& localpart(long frame) const;
    MatchInput record(long frame, const MatchInput& local) const;
    void takeknown(Peer& p, long frame, const MatchInput& part);
    static long knownof(const Peer& p) { return p.base + long(p.parts.size()); }
    void advancefinal();
    // After playing frame g: the game ends there when its screens ended it or it was left.
    void checkover(const Tmatch& match, long g);
    // Whether frame g, with its record in used_, is played; moves the pause on past it.
    bool step(long g);

    int self_;
    std::array<int, 4> figures_;
    std::vector<Peer> peers_;
    long now_ = 0, final_ = 0;
    long touched_; // the earliest frame whose part became known since the last correct
    long over_;    // the frame after the one the game ended at (as far as is known)
    bool left_ = false;
    int leaver_ = -1;
    std::array<MatchSnapshot, RING> snapshots_;
    std::array<MatchInput, RING> used_; // the records the frames were last played with
    std::array<std::string, RING> lines_;
    std::array<bool, RING> pausedat_{}; // paused at the frame's start
    std::array<bool, RING> playedat_{};
    bool paused_ = false;  // at the start of frame now_ (or the frame being played again)
    long finalplayed_ = 0; // final frames that were played
};
