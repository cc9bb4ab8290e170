#include "runtime/text.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(TextToInt, ForgivingSyntax) {
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("  42abc"), 42);
    EXPECT_EQ(TextToInt("-7"), -7);
    EXPECT_EQ(TextToInt("+12"), 12);
    EXPECT_EQ(TextToInt("\t\r\n 9"), 9);
    EXPECT_EQ(TextToInt("$1F"), 31);
    EXPECT_EQ(TextToInt("$ff"), 255);
    EXPECT_EQ(TextToInt("%101"), 5);
    EXPECT_EQ(TextToInt("%1012"), 5);
    EXPECT_EQ(TextToInt("-$10"), -16);
    EXPECT_EQ(TextToInt("+%11"), 3);
    EXPECT_EQ(TextToInt("$-10"), 0);
    EXPECT_EQ(TextToInt("--5"), 0);
    EXPECT_EQ(TextToInt("abc"), 0);
    EXPECT_EQ(TextToInt("12 34"), 12);
    EXPECT_EQ(TextToInt("3.9"), 3);
}

TEST(TextToInt, WrapsLikeMachineIntegers) {
    EXPECT_EQ(TextToInt("2147483647"), 2147483647);
    EXPECT_EQ(TextToInt("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(TextToInt("2147483648"), std::numeric_limits<int>::min());
    EXPECT_EQ(TextToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(TextToLong("9000000000"), 9000000000LL);
    EXPECT_EQ(TextToLong("-$100000000"), -4294967296LL);
    EXPECT_EQ(TextToLong("  77x"), 77);
}

TEST(TextToReal, DecimalPrefixOnly) {
    EXPECT_DOUBLE_EQ(TextToReal(" -2.5e2xyz"), -250.0);
    EXPECT_DOUBLE_EQ(TextToReal(".5"), 0.5);
    EXPECT_DOUBLE_EQ(TextToReal("7e"), 7.0);
    EXPECT_DOUBLE_EQ(TextToReal(""), 0.0);
    EXPECT_DOUBLE_EQ(TextToReal("."), 0.0);
    EXPECT_DOUBLE_EQ(TextToReal("nan"), 0.0);
    EXPECT_DOUBLE_EQ(TextToReal("inf"), 0.0);
    EXPECT_DOUBLE_EQ(TextToReal("0x10"), 0.0);
}

TEST(Text, CaseChangesAsciiOnly) {
    EXPECT_EQ(UpperCase("abc xyz \xe9!"), "ABC XYZ \xe9!");
    EXPECT_EQ(LowerCase("ABC XYZ \xc9!"), "abc xyz \xc9!");
}

TEST(FloatToInt, TruncatesAndNeverOverflows) {
    EXPECT_EQ(FloatToInt(2.7), 2);
    EXPECT_EQ(FloatToInt(-2.7), -2);
    EXPECT_EQ(FloatToInt(-0.5), 0);
    EXPECT_EQ(FloatToInt(std::nan("")), 0);
    EXPECT_EQ(FloatToInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(FloatToInt(-1e300), std::numeric_limits<int>::min());
    EXPECT_EQ(FloatToInt(-std::numeric_limits<double>::infinity()),
              std::numeric_limits<int>::min());
    EXPECT_EQ(FloatToInt(2147483646.9), 2147483646);
}
