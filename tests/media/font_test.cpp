// The game font ships as a TrueType file with its licence beside it.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {

std::string contents(const std::string& name) {
    std::ifstream in(std::string(VANTORIX_MEDIA_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(Font, IsATrueTypeFileWithItsLicence) {
    std::string font = contents("zekton__.ttf");
    ASSERT_GT(font.size(), 10000u);
    EXPECT_EQ(font.substr(0, 4), std::string("\0\1\0\0", 4)); // TrueType outline font
    std::string licence = contents("zekton__-LICENSE.txt");
    EXPECT_NE(licence.find("Open Font License"), std::string::npos);
    EXPECT_NE(licence.find("Play"), std::string::npos);
}
