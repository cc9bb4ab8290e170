// The match trace: one line of text per frame with the state of the game, for bug reports,
// the determinism test and the soak. Columns: level frame state winner owner idle x y, then
// bar centrex centrey for every figure; reals with 17 significant digits so a line holds the
// exact bits.
#pragma once
#include <cstdio>
#include <string>

class Tmatch;

// The column names, one line (without its line end).
std::string traceheader(const Tmatch& m);
// The current frame's values, one line (without its line end). Reads the match only.
std::string traceline(const Tmatch& m);

// Appends a match's trace to a file: a header line when the match starts, then one line
// per frame.
class MatchTrace {
  public:
    explicit MatchTrace(const std::string& path);
    ~MatchTrace();
    MatchTrace(const MatchTrace&) = delete;
    MatchTrace& operator=(const MatchTrace&) = delete;

    bool isopen() const { return file != nullptr; }
    void header(const Tmatch& m);
    void line(const Tmatch& m);
    // A line worked out before (by traceline), written now.
    void write(const std::string& text);

  private:
    std::FILE* file;
};
