// Where the game finds its media and keeps its saves: the game folder when it has one it may
// write, else the player's data folder, into which the old saves are brought once.
#include "app/gamefolder.h"
#include "runtime/folders.h"
#include "tempfolder.h"
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class Folders : public ::testing::Test {
  protected:
    void SetUp() override { root = MakeTempFolder("vantorix-folders-"); }
    void TearDown() override { fs::remove_all(root); }
    fs::path make(const fs::path& relative) {
        fs::create_directories(root / relative);
        return root / relative;
    }
    fs::path root;
};

bool always(const fs::path&) {
    return true;
}
bool never(const fs::path&) {
    return false;
}

} // namespace

TEST_F(Folders, GameFolderInstalledTreeAndReadOnlyFolder) {
    // Started in a folder with media/: that folder holds everything, wherever the executable is.
    const fs::path portable = make("portable");
    make("portable/media");
    GameFolders f = findgamefolders(portable, root / "elsewhere/vantorix", always);
    EXPECT_EQ(f.media, portable / "media");
    EXPECT_EQ(f.saves, portable);
    EXPECT_TRUE(f.old.empty());

    // Started anywhere else: the executable's folder, when media/ is beside it.
    const fs::path somewhere = make("somewhere");
    f = findgamefolders(somewhere, portable / "vantorix", always);
    EXPECT_EQ(f.saves, portable);

    // An installed tree under any prefix: media from share/, saves in the player's folder,
    // the executable's folder being where they used to be.
    make("prefix/bin");
    make("prefix/share/vantorix/media");
    f = findgamefolders(somewhere, root / "prefix/bin/vantorix", always);
    EXPECT_EQ(f.media, root / "prefix/share/vantorix/media");
    EXPECT_TRUE(f.saves.empty()) << f.saves;
    EXPECT_EQ(f.old, root / "prefix/bin");

    // A game folder the game may not write keeps its media; its saves move out.
    f = findgamefolders(portable, root / "elsewhere/vantorix", never);
    EXPECT_EQ(f.media, portable / "media");
    EXPECT_TRUE(f.saves.empty());
    EXPECT_EQ(f.old, portable);
}

TEST_F(Folders, OldSavesAreCopiedWithoutOverwriting) {
    const fs::path old = make("old"), saves = make("saves");
    WriteFileBytes(old / "prefs.txt", "3\r\n0\r\n1\r\n1\r\n5\r\n6\r\n");
    WriteFileBytes(old / "scores.txt", "old scores");
    WriteFileBytes(old / "notasave.txt", "x");
    make("old/replays");
    WriteFileBytes(old / "replays/2026-12-09-061530-custom.txt", "replay");
    // Not the game's: another file, a link to a tree elsewhere, a link as a save.
    WriteFileBytes(old / "replays/one.txt", "not a replay");
    make("elsewhere/deep");
    WriteFileBytes(root / "elsewhere/deep/2026-12-09-061531-custom.txt", "private");
    fs::create_directory_symlink(root / "elsewhere/deep", old / "replays/2026-12-09-061532-levels");
    fs::create_symlink(root / "elsewhere/deep/2026-12-09-061531-custom.txt",
                       old / "replays/2026-12-09-061533-levels.txt");
    fs::create_symlink(root / "elsewhere/deep/2026-12-09-061531-custom.txt", old / "settings.txt");
    WriteFileBytes(saves / "scores.txt", "newer scores");

    const std::vector<std::string> copied = bringsaves(old, saves);
    EXPECT_EQ(copied, (std::vector<std::string>{"prefs.txt", "replays"}));
    EXPECT_EQ(ReadFileBytes(saves / "prefs.txt"), "3\r\n0\r\n1\r\n1\r\n5\r\n6\r\n");
    EXPECT_EQ(ReadFileBytes(saves / "scores.txt"), "newer scores");
    EXPECT_EQ(ReadFileBytes(saves / "replays/2026-12-09-061530-custom.txt"), "replay");
    std::vector<fs::path> brought;
    for (const auto& entry : fs::directory_iterator(saves / "replays")) brought.push_back(entry);
    EXPECT_EQ(brought.size(), 1u);
    EXPECT_FALSE(fs::exists(saves / "settings.txt"));
    EXPECT_FALSE(fs::exists(saves / "notasave.txt"));
    // The old files stay where they were.
    EXPECT_EQ(ReadFileBytes(old / "scores.txt"), "old scores");
}

TEST_F(Folders, ThePlayersFolderIsMadeAndEnteredAndFilledOnce) {
    const fs::path data = make("data"), old = make("old");
    make("media");
    WriteFileBytes(old / "prefs.txt", "first");
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const fs::path before = fs::current_path();

    GameFolders f{root / "media", {}, old};
    ASSERT_TRUE(entergamefolders(f));
    EXPECT_EQ(f.saves, data / "vantorix");
    EXPECT_EQ(fs::current_path(), data / "vantorix");
    EXPECT_EQ(ReadFileBytes("prefs.txt"), "first");

    // Later starts never look back at the old folder.
    fs::remove("prefs.txt");
    WriteFileBytes("scores.txt", "mine");
    WriteFileBytes(old / "prefs.txt", "second");
    f = GameFolders{root / "media", {}, old};
    ASSERT_TRUE(entergamefolders(f));
    EXPECT_FALSE(fs::exists("prefs.txt"));
    fs::current_path(before);
    unsetenv("XDG_DATA_HOME");
    SetMediaFolder("media");
}
