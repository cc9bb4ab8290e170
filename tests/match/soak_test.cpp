// Long computer-only games with the game's own figure: in every arena and at the extreme
// custom settings nothing may turn into NaN, leave the arena or tear a figure apart.
#include "match/match.h"
#include "physics/arena.h"
#include "physics/mainball.h"
#include "physics/man.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "tempfolder.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Frames per case, set by the build: 20 000 when optimised (the 20 cases take about 35 s of
// processor time), fewer under the sanitizers and without optimisation, which are several
// times slower.
constexpr int SOAKFRAMES = VANTORIX_SOAKFRAMES;
// Links stretch in hard collisions: the worst seen in these games is about 20 rest lengths,
// a figure caught around an obstacle of radius 400 with a short link across it; in open
// arenas about 7 (four figures pressing on the ball at a wall). The link solver pulls them
// back within about 16 frames. A figure has come apart for good when a link goes beyond
// this bound, or stays beyond 3 rest lengths for a whole second.
constexpr double TEARLIMIT = 25.0;
constexpr int TEARFRAMES = 60;

struct Worst {
    double stretch = 0;    // longest link relative to its rest length, after frame 60
    int overstretched = 0; // most frames in a row with some link beyond 3 rest lengths
    double outside = 0;    // deepest a ball's centre got beyond the wall, less its radius
    bool finite = true;
};

// Distance of a point beyond the stadium's boundary (negative inside).
double beyondwall(const Tarena& a, double x, double y) {
    double r = (a.bottom - a.top) / 2, cy = (a.top + a.bottom) / 2;
    double nx = std::clamp(x, a.leftend, a.rightend);
    return std::hypot(x - nx, y - cy) - r;
}

class SoakMatch : public Tmatch {
  public:
    SoakMatch(int frames, Worst& worst) : length(frames), worst(worst) {}
    void updatestate() override {
        Tmatch::updatestate();
        double framestretch = 0;
        std::vector<ragobject*> moving = world.figures;
        moving.insert(moving.end(), world.ballbodies.begin(), world.ballbodies.end());
        for (ragobject* body : moving) {
            for (const auto& b : body->balls) {
                if (!std::isfinite(b->x) || !std::isfinite(b->y) || !std::isfinite(b->vx) ||
                    !std::isfinite(b->vy)) {
                    worst.finite = false;
                }
                worst.outside =
                    std::max(worst.outside, beyondwall(world.bounds, b->x, b->y) - b->radius);
            }
            if (frame <= 60) continue;
            for (const Tlink& l : body->links) {
                double d = std::hypot(l.ball2->x - l.ball1->x, l.ball2->y - l.ball1->y);
                if (l.length > 0) framestretch = std::max(framestretch, d / l.length);
            }
        }
        worst.stretch = std::max(worst.stretch, framestretch);
        run = framestretch > 3 ? run + 1 : 0;
        worst.overstretched = std::max(worst.overstretched, run);
        // Close every result screen at once so play goes on; leave after the given frames.
        if (state != "normal") TestKeyDown(KEY_ENTER);
        if (frame >= length || !worst.finite) TestKeyDown(KEY_ESCAPE);
    }

  private:
    int length;
    Worst& worst;
    int run = 0;
};

class Soak : public ::testing::TestWithParam<Tcustomsettings> {
  protected:
    static void SetUpTestSuite() {
        RuntimeOptions options;
        options.video = VideoMode::None;
        options.virtualClock = true;
        options.sound = false;
        ASSERT_TRUE(InitRuntime(options));
        ASSERT_EQ(OpenGraphics(1024, 768, 0, 60, 0), 1);
        previous = std::filesystem::current_path();
        folder = MakeTempFolder("vantorix-soak-");
        std::filesystem::current_path(folder);
        LinkFolder(VANTORIX_MEDIA_DIR, "media");
    }
    static void TearDownTestSuite() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
        ShutdownRuntime();
    }
    static inline std::filesystem::path previous, folder;
};

TEST_P(Soak, NothingBlowsUp) {
    Tcustomsettings c = GetParam();
    Worst worst;
    // The autopilot runs every figure, and games follow each other until the frames are used.
    int played = 0, seed = 1000 + c.arenanumber * 17 + c.ballsize * 3 + c.ballmass + c.gravity;
    while (played < SOAKFRAMES && worst.finite) {
        FlushKeys();
        SoakMatch m(SOAKFRAMES - played, worst);
        SeedRandom(m.random, seed++);
        m.screenwidth = 1024;
        m.screenheight = 768;
        m.autopilot = 0;
        std::array<int, 4> wins{};
        m.rungame("custom", 1, nullptr, &c, wins);
        ASSERT_FALSE(m.setupfailed) << "no figure file in " << VANTORIX_MEDIA_DIR;
        played += m.frame;
    }
    FlushKeys();
    std::printf("arena %d size %d mass %d gravity %d: worst stretch %.3f, %d frames beyond 3, "
                "deepest outside %.3f\n",
                c.arenanumber, c.ballsize, c.ballmass, c.gravity, worst.stretch,
                worst.overstretched, worst.outside);
    EXPECT_TRUE(worst.finite);
    EXPECT_LE(worst.outside, 0.0);
    EXPECT_LT(worst.stretch, TEARLIMIT);
    EXPECT_LT(worst.overstretched, TEARFRAMES);
}

Tcustomsettings arena(int n) {
    Tcustomsettings c;
    c.players = 4;
    c.ailevel = 15;
    c.arenanumber = n;
    return c;
}

Tcustomsettings extreme(int size, int mass, int gravity, int arenanumber) {
    Tcustomsettings c = arena(arenanumber);
    c.playerspeed = 10;
    c.ballsize = size;
    c.ballmass = mass;
    c.gravity = gravity;
    return c;
}

INSTANTIATE_TEST_SUITE_P(Arenas, Soak,
                         ::testing::Values(arena(1), arena(2), arena(3), arena(4), arena(5),
                                           arena(6), arena(7), arena(8), arena(9), arena(10),
                                           arena(11), arena(12), arena(13), arena(14), arena(15)));
INSTANTIATE_TEST_SUITE_P(Extremes, Soak,
                         ::testing::Values(extreme(1, 1, 10, 1), extreme(10, 10, 10, 1),
                                           extreme(1, 10, 10, 13), extreme(10, 1, 10, 14),
                                           extreme(10, 10, 0, 5)));

} // namespace
