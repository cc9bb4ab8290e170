#include "fixture.h"
#include "match/results.h"
#include "physics/man.h"
#include "runtime/clock.h"
#include "runtime/keyboard.h"
#include "runtime/testing.h"
#include <algorithm>
#include <gtest/gtest.h>

namespace {
bool shown(const std::string& text) {
    auto all = texts();
    return std::find(all.begin(), all.end(), text) != all.end();
}

void type(const std::string& characters) {
    for (char c : characters) TestTypeChar(static_cast<unsigned char>(c));
}

// Game-over frames from the fourth on (earlier ones forget the keys), one character each,
// read as the frame's input.
void gameoverframe(Tmatch& m, int frames) {
    m.state = "gameover";
    m.checkpause();
    m.requests = Sourcerequests{};
    m.entername(frames);
    if (m.requests.flush) m.source->flush(); // as a frame played does, once it is played
    m.drawgameover(frames);
}

void typeframes(Tmatch& m, const std::string& characters) {
    for (char c : characters) {
        type(std::string(1, c));
        gameoverframe(m, 10);
    }
}
} // namespace

TEST(Scoring, LevelScoreAndSinglePrecisionTimeBonus) {
    auto m = makematch("levels");
    m->level = 1, m->mancount = 2, m->startscore = 5000;
    // The clock of the frame the level is won in: 20 s after the start.
    m->input.clock = 20000;
    m->scorelevel();
    EXPECT_EQ(m->levelscore, 10000);
    EXPECT_EQ(m->timebonus, 13333);
    EXPECT_EQ(m->levelclock, 20000);
    EXPECT_EQ(m->score, 5000 + 23333);
    // Worked in doubles this bonus would be 17472.
    m->input.clock = 7581;
    m->scorelevel();
    EXPECT_EQ(m->timebonus, 17473);

    m->level = 7, m->mancount = 3, m->startscore = 0;
    m->input.clock = 100000;
    m->scorelevel();
    EXPECT_EQ(m->timebonus, 0);
    EXPECT_EQ(m->score, 70000);
}

TEST(LevelCompleted, CountsThePartsIntoTheTotal) {
    auto m = makematch("levels");
    m->level = 7, m->levelscore = 70000, m->timebonus = 8000;
    m->startscore = 100000, m->score = 178000;
    m->drawlevelcompleted(199); // t = 200: halfway through the count
    EXPECT_TRUE(shown("LEVEL 7 COMPLETED"));
    EXPECT_TRUE(shown("35000"));
    EXPECT_TRUE(shown("4000"));
    EXPECT_TRUE(shown("139000"));
    EXPECT_FALSE(shown("PRESS ENTER TO CONTINUE"));

    clearcalls();
    m->drawlevelcompleted(60); // t = 61: the first label and its value
    EXPECT_TRUE(shown("LEVEL SCORE: "));
    EXPECT_TRUE(shown("70000"));
    EXPECT_FALSE(shown("TIME BONUS: "));

    clearcalls();
    m->drawlevelcompleted(240);
    EXPECT_TRUE(shown("178000"));
    const auto last = texts();
    EXPECT_EQ(std::count(last.begin(), last.end(), "0"), 2);
    EXPECT_TRUE(shown("PRESS ENTER TO CONTINUE"));
}

TEST(WinTally, ListsEveryFigureAfterTheFirstFrame) {
    auto m = makematch("custom", 1024, 768, 3);
    m->man(1).wins = 1, m->man(2).wins = 3, m->man(3).wins = 0;
    m->drawwinner(0);
    EXPECT_TRUE(texts().empty());
    m->drawwinner(1);
    EXPECT_EQ(texts(), std::vector<std::string>{"1 - 3 - 0"});
    m->drawwinner(101);
    EXPECT_TRUE(shown("PRESS ENTER TO CONTINUE"));
}

TEST(NameEntry, UpperCaseFifteenCharactersAndBackspace) {
    auto m = makematch("levels");
    typeframes(*m, "abc");
    EXPECT_EQ(m->name, "ABC");
    typeframes(*m, "\b\x7f\"~x");
    EXPECT_EQ(m->name, "AX");
    typeframes(*m, "defghijklmnopqrstu");
    EXPECT_EQ(m->name, "AXDEFGHIJKLMNOP");

    // One character per frame; the first frames forget what was typed during play.
    auto fresh = makematch("levels");
    type("xy");
    gameoverframe(*fresh, 2);
    EXPECT_EQ(fresh->name, "");
    type("xy");
    gameoverframe(*fresh, 3);
    EXPECT_EQ(fresh->name, "X");
}

TEST(NameEntry, OfferedOnlyAboveTheThreshold) {
    auto m = makematch("levels");
    for (auto [score, threshold, offered] :
         {std::tuple{0, 0, false}, std::tuple{500, 500, false}, std::tuple{501, 500, true}}) {
        m->score = score, m->entrythreshold = threshold;
        clearcalls();
        m->drawgameover(121);
        EXPECT_EQ(shown("ENTER YOUR NAME:"), offered) << score;
        EXPECT_TRUE(shown("GAME OVER"));
        EXPECT_TRUE(shown("SCORE: " + std::to_string(score)));
    }
    // Space on a screen without the entry still types its space before the game ends.
    auto quiet = makematch("levels");
    typeframes(*quiet, " ");
    EXPECT_EQ(quiet->name, " ");
}

TEST(Keys, KeycharAcceptsNameCharactersAndDiscardedPressesKeepHeldKeys) {
    for (int c : {'a', 'Z', '5', ' ', '!', '\\', '\'', ';', '|', '^'})
        EXPECT_EQ(keychar(c), std::string(1, char(c)));
    for (int c : {int('"'), int('`'), int('~'), 13, 8, 127, 200, 0})
        EXPECT_EQ(keychar(c), "nope") << c;

    TestKeyDown(KEY_ENTER);
    TestKeyDown(KEY_P);
    type("q");
    defaultinput().discardpresses();
    EXPECT_EQ(GetChar(), 0);
    EXPECT_EQ(KeyHits(KEY_ENTER), 0);
    EXPECT_EQ(KeyHits(KEY_P), 0);
    EXPECT_EQ(KeyDown(KEY_ENTER), 1);
    TestKeyUp(KEY_ENTER);
    TestKeyUp(KEY_P);
}

TEST(NameEntry, ALongNameShrinksToStayOnTheScreen) {
    for (auto [sw, sh] : {std::pair{640, 480}, std::pair{800, 600}, std::pair{1024, 768}}) {
        auto m = makematch("levels", sw, sh);
        m->score = 501, m->entrythreshold = 500;
        typeframes(*m, "wwwwwwwwwwwwwww");
        ASSERT_EQ(m->name, "WWWWWWWWWWWWWWW");
        clearcalls();
        m->input.typed = 0; // nothing more typed in the frame drawn
        m->drawgameover(121);
        const double u = sw / 1024.0;
        for (const DrawCall& call : CallsOf(DrawCall::Text)) {
            const double width = TextWidth(call.what) * call.state.scaleX;
            EXPECT_GE(call.x, 0) << call.what << " at " << sw;
            EXPECT_LE(call.x + width, sw) << call.what << " at " << sw;
            if (call.what == m->name) {
                // As large as fits between the margins of 20 u.
                EXPECT_NEAR(call.x, 20 * u, 1e-3);
                EXPECT_NEAR(width, sw - 40 * u, 1e-3);
                EXPECT_LT(call.state.scaleX, 0.8 * u);
            }
        }
        EXPECT_TRUE(shown(m->name));
        // A short name keeps its full size.
        auto shortname = makematch("levels", sw, sh);
        shortname->score = 501, shortname->entrythreshold = 500;
        typeframes(*shortname, "ace");
        ASSERT_EQ(shortname->name, "ACE");
        clearcalls();
        shortname->input.typed = 0;
        shortname->drawgameover(121);
        int shortnames = 0;
        for (const DrawCall& call : CallsOf(DrawCall::Text)) {
            if (call.what != "ACE") continue;
            ++shortnames;
            EXPECT_FLOAT_EQ(call.state.scaleX, float(0.8 * u));
        }
        EXPECT_EQ(shortnames, 1);
    }
}
