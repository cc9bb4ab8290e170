// High scores: the exact order the list sort gives ties, the 120-line file, the forgiving
// reading of short and damaged files, and the set of name characters.
#include "persist/scores.h"
#include "runtime/text.h"
#include "tempfolder.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, long long>>;

Entries entries(TList<Tscore>& scores) {
    Entries out;
    for (const std::shared_ptr<Tscore>& s : scores) out.emplace_back(s->name, s->score);
    return out;
}

void fill(TList<Tscore>& scores, const Entries& from) {
    for (const auto& [name, score] : from)
        ListAddLast(scores, std::make_shared<Tscore>(Tscore{score, name}));
}

using ScoresTest = TempFolder;

TEST_F(ScoresTest, FirstStartWritesTheDefaultsThreeTimes) {
    TList<Tscore> scores;
    defaultscores(scores);
    loadscores(scores);
    EXPECT_EQ(entries(scores), Entries(20, {"NOBODY", 0}));
    const std::vector<std::string> lines = crlflines("scores.txt");
    ASSERT_EQ(lines.size(), 120u);
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], i % 2 ? "0" : "NOBODY") << i;
    EXPECT_FALSE(std::filesystem::exists("scores.txt.tmp"));
}

TEST_F(ScoresTest, AddScoreSortsBestFirstAndDropsTheLowest) {
    TList<Tscore> scores;
    defaultscores(scores);
    addscore("ACE", 900, scores);
    ASSERT_TRUE(savescores(scores));
    Entries expected(20, {"NOBODY", 0});
    expected[0] = {"ACE", 900};
    EXPECT_EQ(entries(scores), expected);
    const std::vector<std::string> lines = crlflines("scores.txt");
    ASSERT_EQ(lines.size(), 120u);
    for (int block : {0, 40, 80}) {
        EXPECT_EQ(lines[block], "ACE");
        EXPECT_EQ(lines[block + 1], "900");
        EXPECT_EQ(lines[block + 2], "NOBODY");
    }

    // A score no better than any entry sinks to the end and is dropped again; the sort walks
    // the equal old entries past each other, reversing them.
    TList<Tscore> zeros;
    defaultscores(zeros);
    std::vector<const Tscore*> before;
    for (const std::shared_ptr<Tscore>& s : zeros) before.push_back(s.get());
    addscore("LATE", 0, zeros);
    std::vector<const Tscore*> after;
    for (const std::shared_ptr<Tscore>& s : zeros) after.push_back(s.get());
    EXPECT_EQ(after, std::vector<const Tscore*>(before.rbegin(), before.rend()));
}

// The zero-score entries z1 to z16 of the tie example.
std::string zname(int i) {
    return std::string("z").append(std::to_string(i));
}

TEST_F(ScoresTest, TiesLandWhereTheListSortPutsThem) {
    TList<Tscore> scores;
    Entries start = {{"a", 500}, {"b", 300}, {"c", 300}, {"d", 100}};
    for (int i = 1; i <= 16; ++i) start.emplace_back(zname(i), 0);
    fill(scores, start);
    addscore("N", 300, scores);
    Entries expected = {{"a", 500}, {"b", 300}, {"N", 300}, {"c", 300}, {"d", 100}};
    for (int i = 16; i >= 2; --i) expected.emplace_back(zname(i), 0);
    EXPECT_EQ(entries(scores), expected);
}

TEST_F(ScoresTest, ThresholdIsTheTwentiethScore) {
    TList<Tscore> scores;
    defaultscores(scores);
    EXPECT_EQ(scorethreshold(scores), 0);

    TList<Tscore> ranked;
    for (int i = 0; i < 20; ++i) fill(ranked, {{"p", 1200 + (i * 7 % 20) * 100}});
    EXPECT_EQ(scorethreshold(ranked), 1200);
    EXPECT_EQ(ranked.first()->score, 3100) << "the threshold sorts the list best first";

    TList<Tscore> few;
    fill(few, {{"x", 5000}, {"y", 4000}});
    EXPECT_EQ(scorethreshold(few), 0);
}

TEST_F(ScoresTest, ShortAndDamagedFilesKeepWhatTheyCannotSupply) {
    writefile("scores.txt", "low\r\n5\r\nhigh\r\n12abc\r\nbad\r\njunk\r\n\r\n-3\r\ncut\r\n");
    TList<Tscore> scores;
    defaultscores(scores);
    loadscores(scores);
    Entries expected = {{"low", 5}, {"high", 12}, {"bad", 0}, {"", -3}, {"cut", 0}};
    expected.resize(20, {"NOBODY", 0});
    EXPECT_EQ(entries(scores), expected) << "the file's order is kept, unsorted";
}

TEST_F(ScoresTest, HandEditedNamesAndHugeScoresSurviveASaveAndReload) {
    const std::string longname(5000, 'W');
    writefile("scores.txt", "\x01Tab\there\x7f \"`~\xe9ok!\r\n99999999999999999999999999999\r\n" +
                                longname + "\r\n-1\r\n");
    TList<Tscore> scores;
    defaultscores(scores);
    loadscores(scores);
    ASSERT_EQ(scores.count(), 20);
    EXPECT_EQ(scores.first()->name, "Tabhere ok!");
    EXPECT_EQ(entries(scores)[1], Entries::value_type(std::string(15, 'W'), -1));

    const Entries loaded = entries(scores);
    ASSERT_TRUE(savescores(scores));
    EXPECT_EQ(crlflines("scores.txt").size(), 120u);
    TList<Tscore> again;
    defaultscores(again);
    loadscores(again);
    EXPECT_EQ(entries(again), loaded);
}

TEST(NameCharacters, ExactlyWhatTheNameEntryAccepts) {
    const std::string accepted = "azAZ09 !@#$%^&*()-_+=[]{}<>,.?/\\|:;'";
    for (char c : accepted) EXPECT_TRUE(NameCharacter(c)) << c;
    for (int c : {0, 8, 9, 13, 27, int('"'), int('`'), int('~'), 127, 128, 233, 255, -1}) {
        EXPECT_FALSE(NameCharacter(c)) << c;
    }
    int count = 0;
    for (int c = -256; c < 512; ++c) count += NameCharacter(c);
    EXPECT_EQ(count, 26 + 26 + 10 + 1 + 29);
}

} // namespace
