// Pictures and fonts that cannot be used are refused at once with one line naming the file:
// nothing waits on a FIFO, nothing is allocated for a size a header only claims, and a font
// that opens but cannot draw the game's texts is no font.
#include "badmedia.h"
#include "runtime/pngio.h"
#include "runtime/testing.h"
#include "tempfixture.h"
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace {

class BadFilesTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        TestUseRenderer(std::make_unique<RecordingRenderer>());
    }
    void TearDown() override {
        TestUseRenderer(nullptr);
        TempFolderTest::TearDown();
    }
    // A FIFO that nothing ever writes to, and a folder, each under the given name.
    void fifoAndFolder(const char* fifo, const char* folderName) {
        ASSERT_EQ(mkfifo(path(fifo).c_str(), 0600), 0);
        std::filesystem::create_directory(path(folderName));
    }
};

// The picture is refused with a reason that names it, and nothing goes to stderr: the caller
// prints the one line.
std::string imageRefusal(const std::string& file) {
    std::string error;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadImage(file, 0, &error)) << file;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(error.find(file), std::string::npos) << error;
    return error;
}

std::string fontRefusal(const std::string& file) {
    std::string error;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadFont(file, 128, 4, &error)) << file;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(error.find(file), std::string::npos) << error;
    return error;
}

} // namespace

TEST_F(BadFilesTest, PicturesThatAreNotFilesOrClaimTooMuch) {
    fifoAndFolder("fifo.png", "folder.png");
    EXPECT_NE(imageRefusal(path("fifo.png")).find(": not a regular file"), std::string::npos);
    EXPECT_NE(imageRefusal(path("folder.png")).find(": not a regular file"), std::string::npos);
    EXPECT_NE(imageRefusal(path("missing.png")).find("No such file"), std::string::npos);

    // 65 bytes that claim 16383 x 65535 pixels (4 GiB of RGBA), and ones that claim the largest
    // picture allowed but cannot hold it.
    ASSERT_TRUE(WriteBytes(path("bomb.png"), PngHeaderBomb(16383, 65535)));
    EXPECT_EQ(std::filesystem::file_size(path("bomb.png")), 65u);
    EXPECT_NE(imageRefusal(path("bomb.png")).find("16383 x 65535"), std::string::npos);
    ASSERT_TRUE(WriteBytes(path("thin.png"), PngHeaderBomb(8192, 8192)));
    EXPECT_NE(imageRefusal(path("thin.png")).find("too small"), std::string::npos);

    // 8192 pixels on a side is still a picture, one more is not.
    Pixels row{8192, 1, std::vector<uint8_t>(8192 * 4, 200)};
    ASSERT_TRUE(WritePng(path("row.png"), row));
    Pixels read;
    bool alpha = false;
    std::string error;
    EXPECT_TRUE(ReadPng(path("row.png"), read, alpha, error)) << error;
    EXPECT_EQ(read.rgba, row.rgba);
    Pixels column{1, 8193, std::vector<uint8_t>(8193 * 4, 200)};
    ASSERT_TRUE(WritePng(path("column.png"), column));
    EXPECT_NE(imageRefusal(path("column.png")).find("1 x 8193"), std::string::npos);

    // Without a place for the reason, the loader prints it itself: one line.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadImage(path("fifo.png"), 0));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "LoadImage: " + path("fifo.png") + ": not a regular file\n");
}

TEST_F(BadFilesTest, FontsThatAreNotFilesOrCannotDraw) {
    fifoAndFolder("fifo.ttf", "folder.ttf");
    EXPECT_NE(fontRefusal(path("fifo.ttf")).find(": not a regular file"), std::string::npos);
    EXPECT_NE(fontRefusal(path("folder.ttf")).find(": not a regular file"), std::string::npos);
    ASSERT_TRUE(WriteBytes(path("text.ttf"), "not a font"));
    EXPECT_NE(fontRefusal(path("text.ttf")).find("not a font"), std::string::npos);

    // The first half of a real font still opens, but its glyphs are gone.
    std::ifstream in(VANTORIX_TEST_FONT, std::ios::binary);
    const std::string font{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(font.size(), 10000u);
    ASSERT_TRUE(WriteBytes(path("half.ttf"), font.substr(0, font.size() / 2)));
    EXPECT_NE(fontRefusal(path("half.ttf")).find("cannot draw \"ABC"), std::string::npos);

    // The whole font draws every letter, digit and sign of the game.
    ASSERT_TRUE(WriteBytes(path("whole.ttf"), font));
    std::string error;
    TFont whole = LoadFont(path("whole.ttf"), 128, 4, &error);
    EXPECT_TRUE(whole) << error;
}
