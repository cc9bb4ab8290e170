// The set-ups: what a level, a custom game and a multiplayer game put into the arena.
#include "fixture.h"
#include "physics/arena.h"
#include "runtime/runtime.h"

namespace {

using Setups = MatchFolder;

double firstradius(Tmatch& m, int k) {
    return m.man(k).balls.front()->radius;
}

TEST_F(Setups, LevelFiveHasABigSecondFigure) {
    Tmatch m;
    m.setuplevel(5);
    ASSERT_FALSE(m.setupfailed);
    EXPECT_EQ(m.mancount, 2);
    EXPECT_DOUBLE_EQ(firstradius(m, 1), 20 * 0.5 * double(1.12f));
    EXPECT_DOUBLE_EQ(firstradius(m, 2), 2 * firstradius(m, 1));
    EXPECT_EQ(m.world.bounds.leftend, -2000); // arena 4
    EXPECT_EQ(m.obstacles->balls.size(), 2u);
    EXPECT_EQ(m.state, "normal");
    EXPECT_EQ(m.bannertime, 120);
    EXPECT_EQ(m.bannertext, "   LEVEL 5   ");
}

TEST_F(Setups, LevelNineSpreadsFourFigures) {
    Tmatch m;
    m.setuplevel(9);
    ASSERT_EQ(m.mancount, 4);
    const double xs[4] = {-1950, -650, 650, 1950};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_DOUBLE_EQ(centrex(m.man(k)), xs[k - 1]);
        EXPECT_EQ(m.man(k).aidelay, 27);
        EXPECT_EQ(m.man(k).team, k);
        EXPECT_EQ(m.man(k).dimmed, k >= 2 ? 1 : 0);
        EXPECT_EQ(m.man(k).speed, 6.0f);
        EXPECT_DOUBLE_EQ(firstradius(m, k), firstradius(m, 1));
    }
    EXPECT_EQ(m.obstacles->balls.size(), 4u); // arena 5
    EXPECT_EQ(m.mainballs[0]->radius, 40);
    EXPECT_EQ(m.mainballs[0]->basemass, 5);
    EXPECT_EQ(m.world.gravity, 0);
    EXPECT_EQ(m.goal, 1800.0f);
}

TEST_F(Setups, LevelFortyIsQuickAndBig) {
    Tmatch m;
    m.setuplevel(40);
    EXPECT_EQ(m.mancount, 2);
    EXPECT_EQ(m.man(2).aidelay, 4);
    EXPECT_DOUBLE_EQ(firstradius(m, 2), 2 * firstradius(m, 1));
    EXPECT_DOUBLE_EQ(centrex(m.man(1)), -650);
    EXPECT_DOUBLE_EQ(centrex(m.man(2)), 650);
    EXPECT_EQ(m.obstacles->balls.size(), 4u);
}

TEST_F(Setups, CustomSettingsReachTheGame) {
    Tcustomsettings c;
    c.players = 3;
    c.ailevel = 15;
    c.playerspeed = 9;
    c.ballsize = 10;
    c.ballmass = 7;
    c.gravity = 10;
    c.arenanumber = 13;
    Tmatch m;
    m.setupcustom(c);
    ASSERT_EQ(m.mancount, 3);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(m.man(k).aidelay, 0);
        EXPECT_EQ(m.man(k).speed, 9.0f);
        EXPECT_EQ(m.man(k).dimmed, k >= 2 ? 1 : 0);
    }
    EXPECT_DOUBLE_EQ(centrex(m.man(1)), -1300);
    EXPECT_EQ(m.mainballs[0]->radius, 80);
    EXPECT_EQ(m.mainballs[0]->basemass, 7);
    EXPECT_EQ(m.mainballs[0]->elastic, 1);
    EXPECT_EQ(m.world.gravity, 0.5);
    EXPECT_EQ(m.bannertime, 0);
    // Arena 13: a circle of radius 2000 with its centre obstacle built twice.
    EXPECT_EQ(m.world.bounds.leftend, 0);
    EXPECT_EQ(m.world.bounds.bottom, 2000);
    ASSERT_EQ(m.obstacles->balls.size(), 6u);
    const Tball& a = *m.obstacles->balls[4];
    const Tball& b = *m.obstacles->balls[5];
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.radius, 300);
    EXPECT_EQ(b.radius, 300);
    EXPECT_EQ(a.fixed, 1);
    EXPECT_EQ(a.anchorx, a.x);
    EXPECT_EQ(a.bigimage, 1);

    c.ailevel = 0;
    Tmatch slow;
    slow.setupcustom(c);
    EXPECT_EQ(slow.man(2).aidelay, 30);
}

TEST_F(Setups, SettingsThatWouldBreakTheGameAreKeptInRange) {
    Tcustomsettings c;
    c.ailevel = -20; // would look 70 frames back into a 50-frame history
    c.players = 9;   // the contact history has room for four
    Tmatch m;
    m.setupcustom(c);
    EXPECT_EQ(m.mancount, 4);
    EXPECT_EQ(m.man(2).aidelay, 49);
    Tmultisettings mp;
    mp.players = 5; // three key sets and pads, but room for four
    Tmatch multi;
    multi.setupmultiplayer(mp);
    EXPECT_EQ(multi.mancount, 4);
}

TEST_F(Setups, MultiplayerFiguresAreAllHuman) {
    Tmultisettings mp;
    mp.players = 3;
    mp.gravity = 4;
    mp.arenanumber = 99; // the plain default stadium
    Tmatch m;
    m.setupmultiplayer(mp);
    ASSERT_EQ(m.mancount, 3);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(m.man(k).dimmed, 0);
        EXPECT_EQ(m.man(k).aidelay, 0);
        EXPECT_EQ(m.man(k).team, k);
    }
    EXPECT_DOUBLE_EQ(m.world.gravity, 0.2);
    EXPECT_EQ(m.world.bounds.leftend, -2500);
    EXPECT_EQ(m.world.bounds.top, -1250);
    EXPECT_TRUE(m.obstacles->balls.empty());
}

TEST_F(Setups, BodiesAreFiguresThenMainBallThenObstacles) {
    Tmatch m;
    m.setuplevel(14); // four figures, arena 12
    ASSERT_EQ(m.world.figures.size(), 4u);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(m.world.figures[k - 1], m.men[k - 1].get());
    ASSERT_EQ(m.world.ballbodies.size(), 1u);
    EXPECT_EQ(m.world.ballbodies[0], m.mainballbodies[0].get());
    EXPECT_EQ(m.world.obstacles, m.obstacles.get());
    ASSERT_EQ(m.mainballbodies[0]->balls.size(), 1u);
    EXPECT_EQ(m.mainballbodies[0]->balls.front().get(), m.mainballs[0]);
    // The main ball starts in the middle with a random push of at most 20 each way.
    EXPECT_EQ(m.mainballs[0]->x, 0);
    EXPECT_LE(std::abs(m.mainballs[0]->vx), 20);
    EXPECT_LE(std::abs(m.mainballs[0]->vy), 20);
}

// What a set-up should draw from the random generator, in order: every new ball its start
// spot, each level figure its target, then the main ball's push, vx before vy. Returns the
// push and the first number drawn after the set-up.
struct Draws {
    int vx, vy, next;
};

Draws expecteddraws(int seed, int figures, bool targets, int obstacles) {
    auto newball = [] { RandomInt(0, 800), RandomInt(0, 600); };
    SeedRandom(seed);
    for (int k = 0; k < figures; ++k) {
        for (int b = 0; b < 4; ++b) newball(); // the test figure has four balls
        if (targets) RandomInt(0, 0);
    }
    newball();
    Draws d;
    d.vx = RandomInt(-20, 20);
    d.vy = RandomInt(-20, 20);
    for (int o = 0; o < obstacles; ++o) newball();
    d.next = RandomInt(0, 1000000);
    return d;
}

// Seeded games replay only if every set-up draws the same numbers in the same order.
TEST_F(Setups, RandomDrawsComeInAFixedOrder) {
    int pushesdiffer = 0;
    for (int seed : {5, 77, 4000}) {
        // Level 3: three figures, arena 6 with four obstacles.
        Draws want = expecteddraws(seed, 3, true, 4);
        Tmatch level;
        SeedRandom(level.random, seed);
        level.setuplevel(3);
        ASSERT_EQ(level.obstacles->balls.size(), 4u);
        EXPECT_EQ(level.mainballs[0]->vx, want.vx) << seed;
        EXPECT_EQ(level.mainballs[0]->vy, want.vy) << seed;
        EXPECT_EQ(RandomInt(level.random, 0, 1000000), want.next) << seed;
        pushesdiffer += want.vx != want.vy;

        // Custom figures draw no target. Arena 9 has five obstacles.
        Tcustomsettings c;
        c.arenanumber = 9;
        want = expecteddraws(seed, 2, false, 5);
        Tmatch custom;
        SeedRandom(custom.random, seed);
        custom.setupcustom(c);
        ASSERT_EQ(custom.obstacles->balls.size(), 5u);
        EXPECT_EQ(custom.mainballs[0]->vx, want.vx) << seed;
        EXPECT_EQ(custom.mainballs[0]->vy, want.vy) << seed;
        EXPECT_EQ(RandomInt(custom.random, 0, 1000000), want.next) << seed;
        pushesdiffer += want.vx != want.vy;
    }
    EXPECT_GT(pushesdiffer, 3); // so that vx and vy swapped would show
}

// A figure file that is missing, empty or broken ends the set-up; the game is not played.
TEST_F(Setups, UnusableFigureFileEndsTheGameBeforeItStarts) {
    for (const char* text :
         std::initializer_list<const char*>{"", "New Link\n1\n2\n50\n3\nnormal\n0\n", nullptr}) {
        if (text) {
            writefigure(text);
        } else {
            std::filesystem::remove("media/man.txt");
        }
        Tmatch m;
        prepare(m);
        std::array<int, 4> wins{};
        long before = FramesPresented();
        testing::internal::CaptureStderr();
        EXPECT_EQ(m.rungame("levels", 1, nullptr, nullptr, wins), -1);
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(m.setupfailed);
        EXPECT_EQ(m.frame, 0);
        EXPECT_EQ(FramesPresented(), before);
        // Named with what is wrong: missing, no ball, or the line of the bad link.
        const char* why = !text   ? "could not open media/man.txt"
                          : *text ? "media/man.txt line 2: no ball with id 1"
                                  : "media/man.txt: no ball in the file";
        EXPECT_NE(said.find(why), std::string::npos) << said;
        EXPECT_EQ(said.find("media/man.txt"), said.rfind("media/man.txt")) << "told more than once";
    }
}

} // namespace
