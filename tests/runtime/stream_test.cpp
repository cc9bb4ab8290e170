#include "runtime/stream.h"
#include "tempfixture.h"
#include <fstream>
#include <sstream>

namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

using StreamTest = TempFolderTest;

TEST_F(StreamTest, ReadLineEndings) {
    writeBytes(path("a.txt"), "a\r\nb");
    Stream s = OpenRead(path("a.txt"));
    ASSERT_TRUE(s);
    EXPECT_EQ(AtEnd(*s), 0);
    EXPECT_EQ(ReadLine(*s), "a");
    EXPECT_EQ(ReadLine(*s), "b");
    EXPECT_EQ(AtEnd(*s), 1);
    EXPECT_EQ(ReadLine(*s), "");
    EXPECT_EQ(AtEnd(*s), 1);

    // NUL ends a line like LF; a CR anywhere is dropped; an empty line stays empty.
    writeBytes(path("b.txt"), std::string("x\0y\n\nc\rd\n", 9));
    s = OpenRead(path("b.txt"));
    ASSERT_TRUE(s);
    EXPECT_EQ(ReadLine(*s), "x");
    EXPECT_EQ(ReadLine(*s), "y");
    EXPECT_EQ(ReadLine(*s), "");
    EXPECT_EQ(ReadLine(*s), "cd");
    EXPECT_EQ(AtEnd(*s), 1);
}

TEST_F(StreamTest, WriteLineEndsWithCrLf) {
    Stream s = OpenWrite(path("w.txt"));
    ASSERT_TRUE(s);
    EXPECT_EQ(WriteLine(*s, "500"), 1);
    EXPECT_EQ(WriteLine(*s, ""), 1);
    EXPECT_EQ(CloseStream(s), 1);
    EXPECT_FALSE(s);
    EXPECT_EQ(readBytes(path("w.txt")), "500\r\n\r\n");

    // Opening for writing truncates; opening for update keeps the content.
    s = OpenStream(path("w.txt"), 1, 1);
    ASSERT_TRUE(s);
    EXPECT_EQ(ReadLine(*s), "500");
    CloseStream(s);
    s = OpenWrite(path("w.txt"));
    CloseStream(s);
    EXPECT_EQ(readBytes(path("w.txt")), "");
}

TEST_F(StreamTest, MissingFilesAndFolders) {
    EXPECT_FALSE(OpenRead(path("missing.txt")));
    EXPECT_FALSE(OpenStream(path("missing.txt"), 1, 1));
    EXPECT_FALSE(OpenRead(folder.string()));
    EXPECT_FALSE(OpenWrite(path("no/such/folder.txt")));
    EXPECT_EQ(FileExists(path("missing.txt")), 0);
    EXPECT_EQ(FileExists(folder.string()), 1);
}

TEST_F(StreamTest, CreateEmptyAndReplace) {
    writeBytes(path("old.txt"), "old");
    EXPECT_EQ(CreateEmptyFile(path("old.txt")), 1);
    EXPECT_EQ(readBytes(path("old.txt")), "");
    EXPECT_EQ(CreateEmptyFile(path("no/such/file.txt")), 0);

    writeBytes(path("new.tmp"), "new");
    EXPECT_EQ(ReplaceFile(path("new.tmp"), path("old.txt")), 1);
    EXPECT_EQ(readBytes(path("old.txt")), "new");
    EXPECT_EQ(FileExists(path("new.tmp")), 0);
    EXPECT_EQ(ReplaceFile(path("new.tmp"), path("old.txt")), 0);
    EXPECT_EQ(readBytes(path("old.txt")), "new");
}
