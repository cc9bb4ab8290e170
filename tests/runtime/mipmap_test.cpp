#include "runtime/mipmap.h"
#include <gtest/gtest.h>

namespace {

Pixels Grey(int width, int height, std::initializer_list<int> values) {
    Pixels p;
    p.width = width;
    p.height = height;
    for (int v : values) p.rgba.insert(p.rgba.end(), {uint8_t(v), uint8_t(v), uint8_t(v), 255});
    return p;
}

int Value(const Pixels& p, int x, int y) {
    return p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
}

} // namespace

// Each texel of the next level is the rounded mean of its 2 x 2 block; an odd last column or
// row is left out, and a one-texel-wide picture averages along its length.
TEST(HalfSize, AveragesBlocksWithRounding) {
    Pixels half = HalfSize(Grey(5, 3,
                                {1, 2, 10, 20, 99, //
                                 2, 2, 30, 41, 99, //
                                 99, 99, 99, 99, 99}));
    ASSERT_EQ(half.width, 2);
    ASSERT_EQ(half.height, 1);
    EXPECT_EQ(Value(half, 0, 0), 2);  // 7 / 4 rounds up
    EXPECT_EQ(Value(half, 1, 0), 25); // 101 / 4 rounds down
    EXPECT_EQ(half.rgba[3], 255);

    Pixels column = HalfSize(Grey(1, 4, {0, 255, 100, 101}));
    ASSERT_EQ(column.width, 1);
    ASSERT_EQ(column.height, 2);
    EXPECT_EQ(Value(column, 0, 0), 128);
    EXPECT_EQ(Value(column, 0, 1), 101);

    Pixels last = HalfSize(Grey(1, 1, {77}));
    EXPECT_EQ(last.width, 1);
    EXPECT_EQ(last.height, 1);
    EXPECT_EQ(Value(last, 0, 0), 77);
}
