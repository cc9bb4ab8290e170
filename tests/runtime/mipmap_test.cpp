#include "runtime/mipmap.h"
#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

// Each byte of the next level is the rounded mean of its 2 x 2 block; an odd last column or
// row is left out, a one-texel-wide picture averages along its length, and the channels of a
// texel stay apart.
TEST(HalfSize, AveragesBlocksWithRounding) {
    EXPECT_EQ(HalfSize({1, 2, 10, 20, 99, //
                        2, 2, 30, 41, 99, //
                        99, 99, 99, 99, 99},
                       5, 3, 1),
              (Bytes{2, 25})); // 7 / 4 rounds up, 101 / 4 down
    EXPECT_EQ(HalfSize({0, 255, 100, 101}, 1, 4, 1), (Bytes{128, 101}));
    EXPECT_EQ(HalfSize({77}, 1, 1, 1), (Bytes{77}));
    EXPECT_EQ(HalfSize({0, 255, 10, 255, //
                        4, 255, 10, 0},
                       2, 1, 4),
              (Bytes{2, 255, 10, 128}));
}
