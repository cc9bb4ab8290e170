// The command line: the starts it accepts and the clear refusals of everything else.
#include "app/commandline.h"
#include <filesystem>
#include <gtest/gtest.h>

namespace {

bool parse(const std::vector<std::string>& args, CommandLine& cl, std::string& error) {
    cl = CommandLine{};
    error.clear();
    return parsecommandline(args, cl, error);
}

} // namespace

TEST(CommandLine, StartsAndToolsAreRead) {
    CommandLine cl;
    std::string error;
    ASSERT_TRUE(parse({"--custom", "players=4,ai=15,speed=6,size=5,mass=5,gravity=0,arena=5",
                       "--script", "s.txt", "--frames", "600", "--trace", "t.txt", "--autopilot",
                       "3", "--nodraw", "--seed", "-42"},
                      cl, error))
        << error;
    EXPECT_EQ(cl.launch.kind, Launch::Custom);
    EXPECT_EQ(cl.launch.custom.players, 4);
    EXPECT_EQ(cl.launch.custom.ailevel, 15);
    EXPECT_EQ(cl.launch.custom.arenanumber, 5);
    EXPECT_EQ(cl.launch.custom.ballmass, 5);
    EXPECT_EQ(cl.frames, 600);
    EXPECT_EQ(cl.autopilot, 3);
    EXPECT_TRUE(cl.nodraw && cl.seeded);
    EXPECT_EQ(cl.seed, -42);
    // The game runs in its own folder: named files are fixed from the caller's folder first.
    EXPECT_EQ(cl.script, (std::filesystem::current_path() / "s.txt").string());
    EXPECT_EQ(cl.trace, (std::filesystem::current_path() / "t.txt").string());
    ASSERT_TRUE(parse({"--script", "/data/s.txt"}, cl, error));
    EXPECT_EQ(cl.script, "/data/s.txt");

    // Unnamed settings keep their defaults.
    ASSERT_TRUE(parse({"--multiplayer", "players=3"}, cl, error));
    EXPECT_EQ(cl.launch.multi.players, 3);
    EXPECT_EQ(cl.launch.multi.arenanumber, 1);
    ASSERT_TRUE(parse({"--level", "40"}, cl, error));
    EXPECT_EQ(cl.launch.level, 40);

    // Online and test tools.
    EXPECT_EQ(cl.inputdelay, INPUTDELAY_SETTING);
    ASSERT_TRUE(parse({"--inputdelay", "auto", "--synctest", "8"}, cl, error));
    EXPECT_EQ(cl.inputdelay, -1);
    EXPECT_EQ(cl.synctest, 8);
    ASSERT_TRUE(parse({"--inputdelay", "4", "--script", "s.txt", "--realtime"}, cl, error));
    EXPECT_EQ(cl.inputdelay, 4);
    EXPECT_TRUE(cl.realtime);
}

TEST(CommandLine, BadArgumentsAreRefusedWithTheReason) {
    CommandLine cl;
    std::string error;
    EXPECT_FALSE(parse({"--custom", "players=9"}, cl, error));
    EXPECT_NE(error.find("players"), std::string::npos);
    EXPECT_NE(error.find("2 to 4"), std::string::npos);
    // Four people need a pad, but the command line takes them whatever is plugged in.
    EXPECT_TRUE(parse({"--multiplayer", "players=4"}, cl, error));
    EXPECT_FALSE(parse({"--multiplayer", "players=5"}, cl, error));
    EXPECT_NE(error.find("2 to 4"), std::string::npos);
    EXPECT_FALSE(parse({"--multiplayer", "ai=3"}, cl, error)); // no computer figures there
    EXPECT_FALSE(parse({"--custom", "arena=5x"}, cl, error));
    EXPECT_FALSE(parse({"--level", "41"}, cl, error));
    EXPECT_FALSE(parse({"--level"}, cl, error));
    EXPECT_FALSE(parse({"--autopilot", "50"}, cl, error));
    EXPECT_FALSE(parse({"--frames", "-1"}, cl, error));
    // --frames takes exactly the range its message names.
    EXPECT_FALSE(parse({"--frames", "2147483648"}, cl, error));
    EXPECT_NE(error.find("0 to 2147483647"), std::string::npos);
    ASSERT_TRUE(parse({"--frames", "2147483647"}, cl, error));
    EXPECT_EQ(cl.frames, 2147483647);
    EXPECT_FALSE(parse({"--fly"}, cl, error));
    EXPECT_NE(error.find("--fly"), std::string::npos);
    EXPECT_FALSE(parse({"--nodraw"}, cl, error));
    EXPECT_NE(error.find("--script"), std::string::npos);
    EXPECT_FALSE(parse({"--level", "3", "--demo"}, cl, error));
    EXPECT_FALSE(parse({"--inputdelay", "5"}, cl, error));
    EXPECT_FALSE(parse({"--inputdelay", "often"}, cl, error));
    EXPECT_FALSE(parse({"--synctest", "0"}, cl, error));
    EXPECT_FALSE(parse({"--realtime"}, cl, error));
    EXPECT_NE(error.find("--script"), std::string::npos);
    for (const char* option : {"--replay", "--script", "--record", "--trace"}) {
        EXPECT_FALSE(parse({option, ""}, cl, error));
        EXPECT_EQ(error, std::string(option) + " needs a file name, not an empty one");
    }
}
