#include "runtime/tlist.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name;
    int score;
};

std::vector<std::string> names(TList<Entry>& list) {
    std::vector<std::string> out;
    for (auto e : list) out.push_back(e->name);
    return out;
}

std::string zName(int i) {
    std::string name = "z";
    name += std::to_string(i);
    return name;
}

} // namespace

TEST(TList, RemovingDuringIteration) {
    auto list = CreateList<Entry>();
    std::vector<std::shared_ptr<Entry>> all;
    for (int i = 0; i < 6; ++i) {
        all.push_back(std::make_shared<Entry>(Entry{std::to_string(i), i}));
        ListAddLast(*list, all.back());
    }
    std::vector<std::string> visited;
    for (auto e : *list) {
        visited.push_back(e->name);
        if (e->score % 2 == 0) ListRemove(*list, e.get());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(names(*list), (std::vector<std::string>{"1", "3", "5"}));

    Entry stranger{"x", 0};
    ListRemove(*list, &stranger);
    EXPECT_EQ(ListCount(*list), 3);

    ListAddFirst(*list, all[0]);
    ListAddLast(*list, all[0]); // the same object twice: remove takes the first only
    ListRemove(*list, all[0].get());
    EXPECT_EQ(names(*list), (std::vector<std::string>{"1", "3", "5", "0"}));
    EXPECT_EQ(ListRemoveLast(*list), all[0]);
    ClearList(*list);
    EXPECT_EQ(ListCount(*list), 0);
    EXPECT_EQ(ListRemoveLast(*list), nullptr);
}

// The high-score table: a new entry with a tying score lands after the older entries with
// that score, because the comparison never returns 0 and the bubble sort is exact.
TEST(TList, SortOrderOfTies) {
    TList<Entry> list;
    list.addLast(std::make_shared<Entry>(Entry{"N", 300}));
    for (auto [name, score] : {std::pair{"a", 500}, {"b", 300}, {"c", 300}, {"d", 100}}) {
        list.addLast(std::make_shared<Entry>(Entry{name, score}));
    }
    for (int i = 1; i <= 16; ++i) list.addLast(std::make_shared<Entry>(Entry{zName(i), 0}));
    SortList(list, true, [](const Entry& a, const Entry& b) { return b.score < a.score ? 1 : -1; });

    std::vector<std::string> expected{"a", "b", "N", "c", "d"};
    for (int i = 16; i >= 1; --i) expected.push_back(zName(i));
    EXPECT_EQ(names(list), expected);

    // Ascending with a three-way comparison keeps equal keys where they were.
    list.sort(false, [](const Entry& a, const Entry& b) { return a.score - b.score; });
    EXPECT_EQ(names(list).front(), "z16");
    EXPECT_EQ(names(list)[15], "z1");
    EXPECT_EQ(names(list).back(), "a");
}
