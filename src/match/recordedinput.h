// A game's input kept as a value: one source that records every frame's record another source
// gives, and one that hands recorded records back. A game replayed from its records with the
// same start is the same game; the state hashes kept every HASHEVERY frames prove it.
#pragma once
#include "match/input.h"
#include "match/replay.h"
#include <cstddef>
#include <vector>

// Passes another source's records on and keeps them, Escape included, with the state hashes
// and the time a level took to win.
class RecordingInput : public InputSource {
  public:
    explicit RecordingInput(InputSource& from) : from_(from) {}
    MatchInput read(const Tmatch& match) override;
    bool leaving(const Tmatch& match) override;
    void flush() override { from_.flush(); }
    void discardpresses() override { from_.discardpresses(); }
    void took(const Tmatch& match, int figure) override { from_.took(match, figure); }
    bool padlost(const Tmatch& match, int figure) const override {
        return from_.padlost(match, figure);
    }

    Replay replay; // the records, hashes and level clock; the caller fills in the start

  private:
    InputSource& from_;
    long frames_ = 0;
};

// Hands back recorded records, one per frame; past the last one the game is left. Nothing is
// waited for (a recorded pause is only noted) and nothing is flushed: the records already hold
// what the keys gave after every flush. When the game's state differs from a recorded hash,
// mismatch is set to that frame and the game is left at once.
class ReplayInput : public InputSource {
  public:
    explicit ReplayInput(const std::vector<MatchInput>& records, std::vector<uint64_t> hashes = {},
                         int levelclock = -1);
    // Takes the replay's runs as they are: a long game is never spread out frame by frame.
    explicit ReplayInput(Replay replay)
        : runs_(std::move(replay.runs)), hashes_(std::move(replay.hashes)),
          levelclock_(replay.levelclock) {}
    MatchInput read(const Tmatch& match) override;
    bool leaving(const Tmatch& match) override;
    void flush() override {}
    void discardpresses() override {}
    // Every record was handed out.
    bool finished() const { return run_ >= runs_.size(); }

    long mismatch = -1; // the frame whose state first differed from the recording

  private:
    std::vector<InputRun> runs_;
    std::vector<uint64_t> hashes_;
    int levelclock_;
    size_t next_ = 0;    // the next frame to hand out
    size_t run_ = 0;     // the run it is in
    long inrun_ = 0;     // and how far into that run
    bool leave_ = false; // the last record handed out says leave
};
