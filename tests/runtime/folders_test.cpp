// Paths in any letters on every system: the game's text is UTF-8, and a folder named so is
// reached through std::filesystem and through the C library's narrow calls alike (on Windows
// by the programs' UTF-8 manifest); a save there replaces the old file whole.
#include "runtime/files.h"
#include "runtime/folders.h"
#include "tempfixture.h"

using FoldersTest = TempFolderTest;

TEST_F(FoldersTest, AFolderInAnyLettersIsReachedEveryWay) {
    const std::string name = "J\xc3\xb6s\xc3\xa9 \xc3\x91"; // "Jösé Ñ"
    const std::filesystem::path inside = folder / PathFromText(name);
    ASSERT_TRUE(std::filesystem::create_directory(inside));
    EXPECT_EQ(TextFromPath(inside.filename()), name);
    EXPECT_TRUE(FolderWritable(TextFromPath(inside)));
    const std::string save = TextFromPath(inside / "prefs.txt");
    std::string error, bytes;
    ASSERT_TRUE(ReplaceFileContents(save, "old", error)) << error;
    ASSERT_TRUE(ReplaceFileContents(save, "new", error)) << error;
    ASSERT_TRUE(ReadWholeFile(save, 100, bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_TRUE(std::filesystem::exists(inside / "prefs.txt"));
    EXPECT_FALSE(std::filesystem::exists(inside / "prefs.txt.tmp"));
}

TEST(Folders, TheExecutablesFolderIsFound) {
    const std::filesystem::path here = ExecutableFolder();
    EXPECT_TRUE(std::filesystem::is_directory(here)) << TextFromPath(here);
    EXPECT_TRUE(std::filesystem::exists(here / "runtime_tests") ||
                std::filesystem::exists(here / "runtime_tests.exe"))
        << TextFromPath(here);
}
