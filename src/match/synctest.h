// The sync test: every frame of a game is played a second time. Before a frame the game's
// state and the frame's record are kept; once the frame is played, the game goes back some
// frames and plays them again from what was kept, and the state must come out the same, bit
// for bit, part by part. A field the state leaves out, or a frame that reads anything but its
// record, shows here as a difference long before it splits an online game.
#pragma once
#include "match/input.h"
#include "match/snapshot.h"
#include <string>
#include <vector>

class Tmatch;

// The most frames the test goes back.
inline constexpr int SYNCTEST_MOST = 100;

class Synctest {
  public:
    // Goes back depth frames (1 to SYNCTEST_MOST) after each one.
    explicit Synctest(int depth);
    // Before the frame is advanced, with its record in input: keeps both. A match at its
    // first frame begins a new game.
    void before(const Tmatch& m);
    // After it: back depth frames and the same frames again. False at the first difference,
    // which failure() then names.
    bool after(Tmatch& m);
    int depth() const { return depth_; }
    long checked() const { return checked_; }
    // "frame 412: the figures differ", empty while none did.
    const std::string& failure() const { return failure_; }

  private:
    int depth_;
    long kept_ = 0; // frames of this game kept so far
    std::vector<MatchSnapshot> states_;
    std::vector<MatchInput> records_;
    MatchSnapshot first_, second_;
    long checked_ = 0;
    std::string failure_;
};

// The first part of the game two of its states differ in ("balls", "figures", "generator",
// ...), empty when they are the same.
std::string statedifference(const MatchSnapshot& a, const MatchSnapshot& b);
