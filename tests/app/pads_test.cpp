// Pads through the real program: scripted pads (SDL's virtual controllers) plugged in, pushed
// and pulled out, with four people in one game, a pad lost and found, and the whole way from
// the main menu into a game and back with a pad only.
#include "gamerun.h"
#include <cmath>
#include <sstream>

namespace {

// The trace's figure centres by match frame: centres[frame][figure - 1] = {x, y}, and bars.
struct Trace {
    std::vector<std::vector<std::pair<double, double>>> centres;
    std::vector<std::vector<double>> bars;
};

Trace readtrace(const std::string& text) {
    Trace t;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("level", 0) == 0) continue; // a header
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        const size_t frame = std::stoul(w[1]);
        if (t.centres.size() <= frame) t.centres.resize(frame + 1), t.bars.resize(frame + 1);
        t.centres[frame].clear();
        t.bars[frame].clear();
        for (size_t k = 8; k + 2 < w.size() + 0; k += 3) {
            t.bars[frame].push_back(std::stod(w[k]));
            t.centres[frame].push_back({std::stod(w[k + 1]), std::stod(w[k + 2])});
        }
    }
    return t;
}

// How figure k (1-based) moved from one match frame to another.
std::pair<double, double> moved(const Trace& t, int k, int from, int to) {
    return {t.centres.at(to).at(k - 1).first - t.centres.at(from).at(k - 1).first,
            t.centres.at(to).at(k - 1).second - t.centres.at(from).at(k - 1).second};
}

// Script lines for a stick at the angle (degrees clockwise from up) and reach.
std::string stick(int frame, int pad, double degrees, double reach) {
    const double r = degrees * 3.14159265358979323846 / 180;
    const std::string at = std::to_string(frame) + " pad " + std::to_string(pad) + " axis ";
    return at + "leftx " + std::to_string(int(std::lround(reach * std::sin(r)))) + "\n" + at +
           "lefty " + std::to_string(int(std::lround(-reach * std::cos(r)))) + "\n";
}

// The match starts after the logo, around frame 122; the pushes begin at frame 130.
const std::string threepads = "answer no\n0 pad 1 attach PAD ONE\n0 pad 2 attach PAD TWO\n"
                              "0 pad 3 attach PAD THREE\n";

} // namespace

// Four people: the arrow keys and three pads, plugged in in order, which go to players 2, 3 and
// 4. Each figure goes where its keys, stick or d-pad point.
TEST(Pads, fourPlayersGoWhereTheirPadsPoint) {
    GameFolder game;
    const std::string script = threepads + "130 down 37\n" + stick(130, 1, 0, 30000) +
                               "130 pad 2 button dpdown down\n" + stick(130, 3, 135, 30000);
    ASSERT_EQ(game.run(script, {"--multiplayer", "players=4", "--trace", "trace.txt", "--seed", "3",
                                "--frames", "220"}),
              0)
        << game.text("stderr.txt");
    const Trace t = readtrace(game.text("trace.txt"));
    ASSERT_GE(t.centres.size(), 70u);
    const auto p1 = moved(t, 1, 20, 60), p2 = moved(t, 2, 20, 60), p3 = moved(t, 3, 20, 60),
               p4 = moved(t, 4, 20, 60);
    EXPECT_LT(p1.first, -100) << "arrow left";
    EXPECT_LT(p2.second, -100) << "stick up";
    EXPECT_LT(std::fabs(p2.first), 40);
    EXPECT_GT(p3.second, 100) << "d-pad down";
    EXPECT_GT(p4.first, 60) << "stick down-right";
    EXPECT_GT(p4.second, 60);
}

// A stick inside the dead zone pushes nothing; just either side of the bound between up and
// up-right it pushes straight up or diagonally.
TEST(Pads, deadZoneAndSectorBounds) {
    GameFolder game;
    const std::string script =
        threepads + stick(130, 1, 23, 30000) + stick(130, 2, 100, 8000) + stick(130, 3, 22, 30000);
    ASSERT_EQ(game.run(script, {"--multiplayer", "players=4", "--trace", "trace.txt", "--seed", "3",
                                "--frames", "220"}),
              0)
        << game.text("stderr.txt");
    const Trace t = readtrace(game.text("trace.txt"));
    const auto p2 = moved(t, 2, 20, 60), p3 = moved(t, 3, 20, 60), p4 = moved(t, 4, 20, 60);
    EXPECT_LT(p2.second, -60) << "23 degrees: up-right";
    EXPECT_GT(p2.first, 60);
    EXPECT_LT(std::hypot(p3.first, p3.second), 20) << "inside the dead zone";
    EXPECT_LT(p4.second, -100) << "22 degrees: up";
    EXPECT_LT(std::fabs(p4.first), 40);
}

// Pulled out mid-game, a pad's figure stands and the screen says so; plugged in again it is
// the same player's; another player's pad pulled out and a new one plugged in: the new one
// takes that player. Nothing breaks, and no bar ever shrinks.
TEST(Pads, hotPlugKeepsPlayersAndFillsTheFreeSlot) {
    GameFolder game;
    const std::string script = "answer no\n0 pad 1 attach PAD ONE\n0 pad 2 attach PAD TWO\n" +
                               stick(130, 1, 90, 30000) + "200 pad 1 detach\n" +
                               "230 shot lost.png\n" + "260 pad 1 attach PAD ONE\n" +
                               stick(262, 1, 270, 30000) + "330 pad 2 detach\n" +
                               "340 pad 5 attach ANOTHER PAD\n" + "342 pad 5 button dpup down\n";
    ASSERT_EQ(game.run(script, {"--multiplayer", "players=3", "--trace", "trace.txt", "--seed", "5",
                                "--frames", "420"}),
              0)
        << game.text("stderr.txt");
    const Trace t = readtrace(game.text("trace.txt"));
    ASSERT_GE(t.centres.size(), 290u);
    // Match frames are the script's less about 122.
    EXPECT_GT(moved(t, 2, 20, 70).first, 100) << "right with pad 1";
    EXPECT_LT(std::fabs(moved(t, 2, 110, 130).first), std::fabs(moved(t, 2, 50, 70).first) * 0.9)
        << "no push while unplugged";
    EXPECT_LT(moved(t, 2, 150, 200).first, -50) << "pad 1 back: left for player 2 again";
    EXPECT_LT(moved(t, 3, 225, 285).second, -50) << "the new pad steers player 3";
    for (size_t f = 2; f < t.bars.size(); ++f)
        for (size_t k = 0; k < t.bars[f].size() && k < t.bars[f - 1].size(); ++k)
            ASSERT_GE(t.bars[f][k], t.bars[f - 1][k]) << "frame " << f;
    // The notice at the bottom of the screen while pad 1 was out.
    const Pixels lost = game.shot("lost.png");
    int lit = 0;
    for (int y = 690; y < 730; ++y)
        for (int x = 300; x < 724; ++x) {
            const uint8_t* p = &lost.rgba[(size_t(y) * lost.width + x) * 4];
            lit += p[0] > 200 && p[1] > 200 && p[2] > 200;
        }
    EXPECT_GT(lit, 200) << "PLAYER 2: PAD UNPLUGGED";
}

// Main menu, SINGLE PLAYER, PLAY CUSTOM, PLAY, a game, B to leave it, QUIT: all by pad.
TEST(Pads, theMenusAndAGameWithAPadOnly) {
    GameFolder game;
    auto press = [](int frame, const char* button) {
        const std::string at = std::to_string(frame) + " pad 1 button " + button;
        return at + " down\n" + std::to_string(frame + 1) + " pad 1 button " + button + " up\n";
    };
    const std::string script = "answer no\n0 pad 1 attach PAD ONE\n" + press(200, "a") +
                               press(210, "dpdown") + press(220, "a") + press(230, "a") +
                               press(330, "b") + press(400, "dpup") + press(410, "a");
    RunOptions options;
    options.seconds = 60;
    ASSERT_EQ(game.run(script, {"--trace", "trace.txt", "--frames", "30000"}, options), 0)
        << game.text("stderr.txt");
    const Trace t = readtrace(game.text("trace.txt"));
    EXPECT_GT(t.centres.size(), 50u) << "a custom game was played";
    EXPECT_LT(t.centres.size(), 150u) << "and left with B";
}
