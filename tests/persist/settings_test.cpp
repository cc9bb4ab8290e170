// settings.txt: name=value lines, forgiving of what a hand edit or an older or newer game
// leaves in it, and never written over when it cannot be read.
#include "persist/settings.h"
#include "tempfolder.h"

namespace {

using SettingsTest = TempFolder;

TEST_F(SettingsTest, RoundTripsAndReadsWhatItCanOfADamagedFile) {
    Settings settings;
    EXPECT_TRUE(loadsettings(settings)); // no file yet: the defaults
    EXPECT_EQ(settings.soundeffects, 5);
    EXPECT_EQ(settings.teamcolours, 0);
    EXPECT_EQ(settings.inputdelay, -1);
    settings.soundeffects = 9;
    settings.teamcolours = 1;
    settings.inputdelay = 3;
    ASSERT_TRUE(savesettings(settings));
    EXPECT_EQ(crlflines("settings.txt"),
              (std::vector<std::string>{"soundeffects=9", "teamcolours=1", "inputdelay=3"}));
    Settings again;
    ASSERT_TRUE(loadsettings(again));
    EXPECT_EQ(again.soundeffects, 9);
    EXPECT_EQ(again.teamcolours, 1);
    EXPECT_EQ(again.inputdelay, 3);

    // Unknown names and lines without "=" are skipped, values are brought into range, a name
    // must match whole, and what the file lacks keeps its default.
    writefile("settings.txt", "# a note\nvolume=3\nsoundeffectsx=1\nteamcolours=7\r\njunk\n");
    Settings damaged;
    ASSERT_TRUE(loadsettings(damaged));
    EXPECT_EQ(damaged.soundeffects, 5);
    EXPECT_EQ(damaged.teamcolours, 1);
    writefile("settings.txt", "soundeffects=-4\ninputdelay=9\n");
    ASSERT_TRUE(loadsettings(damaged));
    EXPECT_EQ(damaged.soundeffects, 0);
    EXPECT_EQ(damaged.inputdelay, 4);
}

// The rendezvous server is kept as typed when it is printable and short; anything else in
// the line is not taken.
TEST_F(SettingsTest, KeepsTheServerOnlyWhenItIsPrintable) {
    Settings settings;
    settings.server = "rooms.example.org:24690";
    ASSERT_TRUE(savesettings(settings));
    Settings again;
    ASSERT_TRUE(loadsettings(again));
    EXPECT_EQ(again.server, "rooms.example.org:24690");
    writefile("settings.txt",
              "server=evil\x1b[2J:1\nserver=a b:1\nserver=" + std::string(300, 'x') + "\n");
    Settings hostile;
    ASSERT_TRUE(loadsettings(hostile));
    EXPECT_EQ(hostile.server, "");
}

// A folder (or anything else that cannot be read) at the name is reported and left alone.
TEST_F(SettingsTest, AnUnreadableFileIsLeftAlone) {
    std::filesystem::create_directory("settings.txt");
    Settings settings;
    settings.soundeffects = 2;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadsettings(settings));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("settings.txt: not a regular file"),
              std::string::npos);
    EXPECT_EQ(settings.soundeffects, 2);
    EXPECT_TRUE(std::filesystem::is_directory("settings.txt"));
}

} // namespace
