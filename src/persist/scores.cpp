// The high-score table and its file. "scores.txt" holds the twenty entries as name and score
// lines, and that 40-line block three times over; only the first block is ever read.
#include "persist/scores.h"

#include "persist/savefile.h"
#include "runtime/stream.h"
#include "runtime/text.h"

#include <memory>
#include <string_view>
#include <vector>

namespace {

const char* const scoresfile = "scores.txt";
constexpr int tablesize = 20;
constexpr int copies = 3;

// What a player could have typed, at most 15 characters of it.
std::string cleanname(const std::string& line) {
    std::string name;
    for (char c : line) {
        if (name.size() == NAME_LENGTH) break;
        if (NameCharacter(static_cast<unsigned char>(c))) name += c;
    }
    return name;
}

} // namespace

int comparescores(const Tscore& a, const Tscore& b) {
    return b.score < a.score ? 1 : -1;
}

void defaultscores(TList<Tscore>& scores) {
    for (int i = 0; i < tablesize; ++i) {
        ListAddLast(scores, std::make_shared<Tscore>(Tscore{0, "NOBODY"}));
    }
}

bool loadscores(TList<Tscore>& scores) {
    SaveFound found;
    Stream in = opensave(scoresfile, found);
    if (found == SaveFound::Unreadable) return false;
    if (found == SaveFound::Missing) {
        savescores(scores);
        in = OpenRead(scoresfile, MAX_SAVE_FILE);
    }
    if (!in) return true;
    std::vector<Tscore> before;
    for (const std::shared_ptr<Tscore>& entry : scores) before.push_back(*entry);
    for (const std::shared_ptr<Tscore>& entry : scores) {
        if (!AtEnd(*in)) entry->name = cleanname(ReadLine(*in));
        if (!AtEnd(*in)) entry->score = TextToLong(ReadLine(*in));
    }
    const bool broken = ReadFailed(*in);
    CloseStream(in);
    if (!broken) return true;
    // Half a table is no table: the entries go back to what they were, the file stays as is.
    size_t i = 0;
    for (const std::shared_ptr<Tscore>& entry : scores) *entry = before[i++];
    reportunreadable(scoresfile, READ_BROKE_OFF);
    return false;
}

bool savescores(TList<Tscore>& scores) {
    std::vector<std::string> lines;
    for (int copy = 0; copy < copies; ++copy) {
        for (const std::shared_ptr<Tscore>& entry : scores) {
            lines.push_back(entry->name);
            lines.push_back(std::to_string(entry->score));
        }
    }
    return savelines(scoresfile, lines);
}

void addscore(const std::string& name, int score, TList<Tscore>& scores) {
    ListAddFirst(scores, std::make_shared<Tscore>(Tscore{score, name}));
    SortList(scores, true, comparescores);
    ListRemoveLast(scores);
}

int scorethreshold(TList<Tscore>& scores) {
    SortList(scores, true, comparescores);
    int n = 0;
    for (const std::shared_ptr<Tscore>& entry : scores) {
        if (++n == tablesize) return static_cast<int>(entry->score);
    }
    return 0;
}
