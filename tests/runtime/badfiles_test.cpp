// Pictures that cannot be used are refused at once with one line naming the file: nothing
// waits on a FIFO, nothing is allocated for a size a header only claims.
#include "badmedia.h"
#include "runtime/context.h"
#include "runtime/pngio.h"
#include "temp_folder.h"
#include <filesystem>
#include <sys/stat.h>

namespace {

class BadFilesTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        rt().renderer = std::make_unique<RecordingRenderer>();
    }
    void TearDown() override {
        rt().renderer.reset();
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

} // namespace

TEST_F(BadFilesTest, PicturesThatAreNotFilesOrClaimTooMuch) {
    fifoAndFolder("fifo.png", "folder.png");
    EXPECT_NE(imageRefusal(path("fifo.png")).find("is not a regular file"), std::string::npos);
    EXPECT_NE(imageRefusal(path("folder.png")).find("is not a regular file"), std::string::npos);
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
              "LoadImage: " + path("fifo.png") + " is not a regular file\n");
}
