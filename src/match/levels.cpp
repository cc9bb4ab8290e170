#include "match/levels.h"
#include <cmath>

namespace {

// From level 11 on the arenas no longer follow the pattern of five but this list.
constexpr int laterarenas[30] = {2,  13, 15, 12, 1, 14, 7,  12, 4, 5, 13, 12, 15, 1, 2,
                                 14, 7,  12, 4,  5, 13, 12, 15, 1, 2, 14, 7,  12, 4, 5};

Tlevelrow patternrow(int level) {
    // The computer gets three frames quicker every five levels.
    int base = static_cast<int>(20 - std::floor((level - 6) / 5.0 + 0.1) * 3);
    switch (level % 5) {
    case 1:
        return {2, base, 8, false};
    case 2:
        return {3, base + 5, 3, false};
    case 3:
        return {3, base + 4, 10, false};
    case 4:
        return {4, base + 7, 5, false};
    default:
        return {2, base + 2, 7, true};
    }
}

} // namespace

Tlevelrow levelrow(int level) {
    static const Tlevelrow openers[5] = {{2, 23, 1, false},
                                         {2, 22, 9, false},
                                         {3, 27, 6, false},
                                         {3, 26, 11, false},
                                         {2, 25, 4, true}};
    if (level >= 1 && level <= 5) return openers[level - 1];
    Tlevelrow row = patternrow(level);
    if (level >= 11 && level <= LASTLEVEL) row.arena = laterarenas[level - 11];
    return row;
}

Tarenaplan arenaplan(int number) {
    // Shared obstacle sets: the four big balls on the axes of the round arenas, the four at
    // the corners, and the walls' middles of the long stadiums.
    const std::vector<Tobstacle> axes = {
        {2200, 0, 400}, {-2200, 0, 400}, {0, 2200, 400}, {0, -2200, 400}};
    const std::vector<Tobstacle> corners = {
        {1600, 1600, 400}, {-1600, 1600, 400}, {-1600, -1600, 400}, {1600, -1600, 400}};
    const std::vector<Tobstacle> walls = {{0, -1700, 400}, {0, 1700, 400}};
    const std::vector<Tobstacle> wallsends = {
        {0, -1700, 400}, {0, 1700, 400}, {3700, 0, 400}, {-3700, 0, 400}};
    auto join = [](std::vector<Tobstacle> a, const std::vector<Tobstacle>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const double sw = 4000, sh = 3000; // long stadium
    const double cw = 0, ch = 4000;    // round arena of radius 2000
    switch (number) {
    case 1:
        return {sw, sh, {}};
    case 2:
        return {cw, ch, axes};
    case 3:
        return {sw, sh, {{0, 0, 300}, {-2000, 0, 300}, {2000, 0, 300}}};
    case 4:
        return {sw, sh, walls};
    case 5:
        return {sw, sh, wallsends};
    case 6:
        return {sw, sh, join(walls, {{2000, 0, 300}, {-2000, 0, 300}})};
    case 7:
        return {cw, ch, join({{0, 0, 300}}, corners)};
    case 8:
        return {cw, ch, corners};
    case 9:
        return {cw, ch, join(axes, {{0, 0, 300}})};
    case 10:
        return {
            cw, ch,
            join(axes, {{700, 700, 200}, {-700, 700, 200}, {700, -700, 200}, {-700, -700, 200}})};
    case 11:
        return {sw, sh, join(wallsends, {{0, 0, 300}, {-2000, 0, 300}, {2000, 0, 300}})};
    case 12:
        return {sw, sh, join(wallsends, {{0, 0, 300}})};
    // Two obstacles on the same spot: both are built, and both collide.
    case 13:
        return {cw, ch, join(axes, {{0, 0, 300}, {0, 0, 300}})};
    case 14:
        return {cw, ch,
                join(corners, {{1000, 0, 200}, {0, 1000, 200}, {-1000, 0, 200}, {0, -1000, 200}})};
    case 15:
        return {sw, sh, join(wallsends, {{-2000, 0, 300}, {2000, 0, 300}})};
    default:
        return {};
    }
}
