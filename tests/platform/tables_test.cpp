// The pure pieces of the platform layer: key codes, letterboxing, the script grammar.
#include "runtime/keymap.h"
#include "runtime/letterbox.h"
#include "runtime/script.h"
#include <SDL_scancode.h>
#include <gtest/gtest.h>

TEST(KeyMap, GivesTheVirtualKeyCodesTheGamePolls) {
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_A), 65);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_Z), 90);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_1), 49);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_5), 53);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_0), 48);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UP), 38);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RIGHT), 39);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RETURN), 13);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_BACKSPACE), 8);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_DELETE), 46);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_TAB), 9);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F1), 112);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F12), 123);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LSHIFT), 160);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 161);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LCTRL), 162);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RCTRL), 163);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LALT), 164);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RALT), 165);
}

TEST(KeyMap, NeverReportsGenericModifiersAndStaysInRange) {
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        int code = VirtualKeyFromScancode(scancode);
        EXPECT_TRUE(code >= 0 && code <= 255) << scancode;
        EXPECT_TRUE(code != 16 && code != 17 && code != 18) << scancode;
    }
}

TEST(Letterbox, ScalesUpKeepingFourToThreeAndCentres) {
    Viewport same = Letterbox(1024, 768, 1024, 768);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.y, 0);
    EXPECT_EQ(same.width, 1024);
    EXPECT_EQ(same.height, 768);

    Viewport wide = Letterbox(1920, 1080, 640, 480); // bars left and right
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);

    Viewport tall = Letterbox(1280, 1024, 800, 600); // bars above and below
    EXPECT_EQ(tall.width, 1280);
    EXPECT_EQ(tall.height, 960);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 32);
}

TEST(WindowMultiple, LargestWholeMultipleThatFitsAndNeverBelowOne) {
    EXPECT_EQ(WindowMultiple(1920, 1050, 640, 480), 2);  // 1280 x 960 fits, 1920 x 1440 not
    EXPECT_EQ(WindowMultiple(3840, 2100, 1024, 768), 2); // the height decides
    EXPECT_EQ(WindowMultiple(2560, 1440, 800, 600), 2);
    EXPECT_EQ(WindowMultiple(1024, 768, 1024, 768), 1);
    EXPECT_EQ(WindowMultiple(800, 600, 1024, 768), 1); // a small desktop still gets the game
    EXPECT_EQ(WindowMultiple(0, 0, 640, 480), 1);
}

TEST(ScriptParser, ReadsEventsInFrameAndFileOrder) {
    Script s;
    std::string error;
    ASSERT_TRUE(ParseScript("# a menu walk\n"
                            "answer cancel\n"
                            "3 down 40   # hold Down\n"
                            "2 tap 13\r\n"
                            "\n"
                            "3 char 97\n"
                            "answer yes\n"
                            "0 shot first.png\n"
                            "1 shot shots/a..b.png\n"
                            "9 close\n",
                            s, error))
        << error;
    ASSERT_EQ(s.events.size(), 7u);
    EXPECT_EQ(s.events[0].kind, ScriptEvent::Shot);
    EXPECT_EQ(s.events[0].file, "first.png");
    EXPECT_EQ(s.events[1].file, "shots/a..b.png");
    EXPECT_FALSE(s.events[0].window);
    // A shot of the whole window follows the same rules for its name.
    Script w;
    ASSERT_TRUE(ParseScript("4 windowshot whole.png\n", w, error)) << error;
    ASSERT_EQ(w.events.size(), 1u);
    EXPECT_TRUE(w.events[0].window);
    EXPECT_EQ(w.events[0].file, "whole.png");
    EXPECT_FALSE(ParseScript("4 windowshot media/logo.png\n", w, error));
    s.events.erase(s.events.begin() + 1);
    // The tap: down at its frame, up at the next one, where it keeps its line's place.
    EXPECT_EQ(s.events[1].kind, ScriptEvent::Down);
    EXPECT_EQ(s.events[1].frame, 2);
    EXPECT_EQ(s.events[1].code, 13);
    EXPECT_EQ(s.events[2].kind, ScriptEvent::Down);
    EXPECT_EQ(s.events[2].code, 40);
    EXPECT_EQ(s.events[3].kind, ScriptEvent::Up);
    EXPECT_EQ(s.events[3].frame, 3);
    EXPECT_EQ(s.events[3].code, 13);
    EXPECT_EQ(s.events[4].kind, ScriptEvent::Char);
    EXPECT_EQ(s.events[4].code, 97);
    EXPECT_EQ(s.events[5].kind, ScriptEvent::Close);
    EXPECT_EQ(s.events[5].frame, 9);
    ASSERT_EQ(s.answers.size(), 2u);
    EXPECT_EQ(s.answers[0], -1);
    EXPECT_EQ(s.answers[1], 1);
}

TEST(ScriptParser, NamesTheLineOfAMistake) {
    const char* bad[] = {"5 press 13",           "x down 13",         "5 down",
                         "5 down 300",           "5 down 13 14",      "5 shot",
                         "answer maybe",         "-1 close",          "5 char 0x41",
                         "5 shot ../up.png",     "5 shot /tmp/a.png", "5 shot a/../../b.png",
                         "5 shot prefs.txt",     "5 shot scores.txt", "5 shot media/ball.png",
                         "5 shot ./media/a.png", "5 shot .png"};
    for (const char* line : bad) {
        Script s;
        std::string error;
        EXPECT_FALSE(ParseScript(std::string("1 tap 13\n# fine\n") + line + "\n", s, error))
            << line;
        EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << line << " -> " << error;
    }
}

TEST(ScriptPlayer, HandsOutEachEventOnceUpToTheFrame) {
    Script s;
    std::string error;
    ASSERT_TRUE(ParseScript("0 down 65\n1 tap 66\n4 close\n", s, error));
    ScriptPlayer player;
    player.start(s);
    std::vector<ScriptEvent> got;
    auto collect = [&](const ScriptEvent& e) { got.push_back(e); };
    player.deliver(0, collect);
    EXPECT_EQ(got.size(), 1u);
    player.deliver(0, collect);
    EXPECT_EQ(got.size(), 1u);
    player.deliver(3, collect);
    EXPECT_EQ(got.size(), 3u);
    player.deliver(4, collect);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[3].kind, ScriptEvent::Close);
    EXPECT_EQ(player.nextAnswer(), 0); // no answers: "no"
}
