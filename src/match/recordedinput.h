// A game's input kept as a value: one source that records every frame's record another source
// gives, and one that hands recorded records back. A game replayed from its records with the
// same seed is the same game.
#pragma once
#include "match/input.h"
#include <cstddef>
#include <vector>

// Passes another source's records on and keeps them, Escape included.
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

    std::vector<MatchInput> records;

  private:
    InputSource& from_;
};

// Hands back recorded records, one per frame; past the last one the game is left. Nothing is
// waited for (a recorded pause is only noted) and nothing is flushed: the records already hold
// what the keys gave after every flush.
class ReplayInput : public InputSource {
  public:
    explicit ReplayInput(std::vector<MatchInput> records) : records_(std::move(records)) {}
    MatchInput read(const Tmatch& match) override;
    bool leaving(const Tmatch& match) override;
    void flush() override {}
    void discardpresses() override {}
    // The next frame to hand out; setting it goes back (or forward) in the records.
    size_t next = 0;

  private:
    std::vector<MatchInput> records_;
};
