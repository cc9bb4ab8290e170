// The high-score table: twenty named scores, kept in "scores.txt" in the game folder.
// Depends on: runtime streams, lists and text conversion.
#pragma once
#include "runtime/tlist.h"

#include <string>

// One entry of the table.
struct Tscore {
    long long score = 0;
    std::string name; // as typed on the game-over screen: NameCharacter, at most NAME_LENGTH
};

// The table's ordering for SortList: 1 when b scored strictly less than a, -1 otherwise,
// equal scores included. Because ties compare as "less" both ways the sort swaps equal
// neighbours, and the order of equal scores depends on the whole list.
int comparescores(const Tscore& a, const Tscore& b);

// Appends twenty entries "NOBODY" with score 0.
void defaultscores(TList<Tscore>& scores);

// Reads "scores.txt" over the entries in list order (no sort). Without the file the current
// entries are written first and read back. A short file leaves the remaining entries as they
// are. Names are cleaned of characters a player cannot type and cut to 15 characters, so a
// hand-edited file cannot break the screen or the next save. False when the file is there but
// cannot be read: the entries stay as they were, and the caller must not write the file
// during this run, so the player's real table survives.
bool loadscores(TList<Tscore>& scores);

// Writes the entries in list order, name line then score line, the block three times over,
// without ever losing the old file. False when the file could not be written.
bool savescores(TList<Tscore>& scores);

// Enters a new score: added at the front, the list sorted best first, the last entry dropped.
void addscore(const std::string& name, int score, TList<Tscore>& scores);

// Sorts the list best first and returns the low 32 bits of its twentieth score, or 0 when the
// list holds fewer than twenty entries: the score a levels campaign must beat to enter.
int scorethreshold(TList<Tscore>& scores);
