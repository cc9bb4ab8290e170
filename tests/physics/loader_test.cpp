// The figure file: grammar, scaling, id resolution and damaged files.
#include "physics/loader.h"
#include "physics/ragobject.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"
#include "runtime/testing.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace {

std::string writefile(const std::string& name, const std::string& text) {
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// id, mass, x, y, radius, fixed, anchor x, anchor y, kind, elastic, coloured.
std::string ball(int id, double x, double radius = 20, int coloured = 0,
                 const std::string& kind = "normal", const std::string& header = "New Ball") {
    return header + "\n" + std::to_string(id) + "\n2\n" + std::to_string(x) + "\n5\n" +
           std::to_string(radius) + "\n0\n1\n2\n" + kind + "\n0\n" + std::to_string(coloured) +
           "\n";
}

std::string link(int a, int b, double length = 100, const std::string& kind = "normal") {
    return "New Link\n" + std::to_string(a) + "\n" + std::to_string(b) + "\n" +
           std::to_string(length) + "\n4\n" + kind + "\n0\n";
}

std::string tension(int a, int b, int c) {
    return "New Tension\n" + std::to_string(a) + "\n" + std::to_string(b) + "\n" +
           std::to_string(c) + "\n90\n60\n";
}

LoadStatus load(const std::string& text, ragobject& body, double size = 0.5) {
    return loadragdoll(writefile("figure.txt", text), body, GameRandom(), size, double(1.12f),
                       nullptr, nullptr, 1000, -200, 2.0);
}

} // namespace

TEST(Loader, ScalesAndOffsetsEveryField) {
    ragobject body;
    ASSERT_EQ(load(ball(1, 0) + ball(2, 100, 20, 1) + link(1, 2) + tension(1, 2, 1), body),
              LoadStatus::Loaded);
    ASSERT_EQ(body.balls.size(), 2u);
    const Tball& b = *body.balls[0];
    EXPECT_NEAR(b.radius, 11.2, 1e-6);
    EXPECT_NEAR(body.balls[1]->radius, 13.44, 1e-6);
    EXPECT_EQ(b.basemass, 4);
    EXPECT_EQ(b.x, 1000);
    EXPECT_EQ(b.oldx, 1000);
    EXPECT_EQ(b.y, -195);
    EXPECT_EQ(b.anchorx, 1001);
    EXPECT_EQ(b.anchory, -198);
    // The link is halved while its balls still start a full length apart.
    EXPECT_EQ(body.links[0].length, 50);
    EXPECT_EQ(body.balls[1]->x - b.x, 100);
    EXPECT_NEAR(body.links[0].thickness, 4 * 0.5 * 1.12, 1e-6);
    EXPECT_EQ(body.tensions[0].angle, 90);
    EXPECT_EQ(body.tensions[0].strength, 60);
    EXPECT_EQ(body.tensions[0].ball3, body.balls[0].get());
}

TEST(Loader, CarriageReturnsAndNulEndingsReadAlike) {
    std::string text = ball(1, 0) + ball(2, 50) + link(1, 2);
    std::string crlf, nul;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
        nul += c == '\n' ? '\0' : c;
    }
    ragobject plain, dos, zeros;
    ASSERT_EQ(load(text, plain), LoadStatus::Loaded);
    ASSERT_EQ(load(crlf, dos), LoadStatus::Loaded);
    ASSERT_EQ(load(nul, zeros), LoadStatus::Loaded);
    for (ragobject* other : {&dos, &zeros}) {
        ASSERT_EQ(other->balls.size(), 2u);
        EXPECT_EQ(other->balls[1]->x, plain.balls[1]->x);
        EXPECT_EQ(other->balls[1]->kind, "normal");
        EXPECT_EQ(other->links[0].ball2, other->balls[1].get());
    }
}

TEST(Loader, HeadersAreExactWithOneOptionalBlank) {
    ragobject body;
    load(ball(1, 0, 20, 0, "normal", "New Ball ") + ball(2, 0, 20, 0, "normal", "new ball") +
             ball(3, 0, 20, 0, "normal", "New Ball  ") + ball(4, 0, 20, 0, "damaging"),
         body);
    ASSERT_EQ(body.balls.size(), 2u);
    EXPECT_EQ(body.balls[0]->id, 1);
    EXPECT_EQ(body.balls[1]->id, 4);
    EXPECT_EQ(body.balls[1]->kind, "damaging");
}

TEST(Loader, IdsResolveToTheLastEarlierBall) {
    ragobject body;
    EXPECT_EQ(
        load(ball(7, 0) + ball(1, 10) + ball(7, 20) + link(1, 7, 5, "stop") + link(7, 1, 5, "rope"),
             body),
        LoadStatus::Loaded);
    ASSERT_EQ(body.links.size(), 2u);
    EXPECT_EQ(body.links[0].ball1, body.balls[1].get());
    EXPECT_EQ(body.links[0].ball2, body.balls[2].get());
    EXPECT_EQ(body.links[0].kind, "stop");
    EXPECT_EQ(body.links[1].kind, "normal");
}

// Keys held while a figure loads are forgotten, whether the file opened or not.
TEST(Loader, ReplacesOldContentButAMissingFileChangesNothing) {
    ragobject body;
    load(ball(1, 0) + ball(2, 0) + link(1, 2) + tension(1, 2, 1), body);
    TestKeyDown(KEY_LEFT);
    ASSERT_EQ(load(ball(5, 0), body), LoadStatus::Loaded);
    EXPECT_EQ(KeyDown(KEY_LEFT), 0);
    EXPECT_EQ(body.balls.size(), 1u);
    EXPECT_TRUE(body.links.empty() && body.tensions.empty());
    TestKeyDown(KEY_UP);
    EXPECT_EQ(loadragdoll(testing::TempDir() + "no/such/figure.txt", body, GameRandom(), 1, 1,
                          nullptr, nullptr, 0, 0, 1),
              LoadStatus::NotOpened);
    EXPECT_EQ(KeyDown(KEY_UP), 0);
    EXPECT_EQ(body.balls[0]->id, 5);
}

TEST(Loader, CutShortAndDamagedFilesNeverGiveASteppableBrokenFigure) {
    ragobject body;
    EXPECT_EQ(load("", body), LoadStatus::Broken);
    EXPECT_TRUE(body.balls.empty());
    // A record cut short reads zeros: mass 0 would divide by zero in the step.
    EXPECT_EQ(load("junk\nNew Ball\n3", body), LoadStatus::Broken);
    ASSERT_EQ(body.balls.size(), 1u);
    EXPECT_EQ(body.balls[0]->kind, "normal");
    EXPECT_EQ(load(ball(1, 1e300), body), LoadStatus::Broken);
    EXPECT_EQ(load(ball(1, 0) + "New Tension\n1\n1\n9\n0\n50\n", body), LoadStatus::Broken);
}

TEST(Loader, SurvivesGarbageAndHugeFiles) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(random() % 3000, '\0');
        for (char& c : bytes) c = char(random());
        // Sprinkle headers so the record readers get garbage values too.
        for (int i = 0; i < 10; ++i)
            bytes.insert(random() % (bytes.size() + 1),
                         std::vector<std::string>{"\nNew Ball\n", "\nNew Link\n",
                                                  "\nNew Tension\n"}[random() % 3]);
        ragobject body;
        LoadStatus status = load(bytes, body);
        if (status == LoadStatus::Loaded) {
            EXPECT_TRUE(ragdollusable(body));
        }
    }
}

// A figure beyond the limits, or with a value that cannot be played, is refused with the file,
// the line and the reason, and reading stops there, so even a huge file costs little.
TEST(Loader, LimitsAreRefusedNamingTheLine) {
    std::string balls256, links1024, selflinks1024, tensions1024;
    for (int i = 1; i <= 256; ++i) balls256 += ball(i, i);
    for (int i = 0; i < 1024; ++i) links1024 += link(1, 2);
    // A link from a ball to itself never pulls, so these many do not unsettle the figure.
    for (int i = 0; i < 1024; ++i) selflinks1024 += link(1, 1);
    for (int i = 0; i < 1024; ++i) tensions1024 += tension(1, 2, 1);
    const std::string two = ball(1, 0) + ball(2, 50);
    // Ball records take 12 lines: header, id, mass, x, y, radius, ...; links 7, tensions 6.
    struct Case {
        std::string text, said;
    } cases[] = {
        {balls256 + ball(257, 0), " line 3073: more than 256 balls"},
        {two + links1024 + link(1, 2), " line 7193: more than 1024 links"},
        {two + tensions1024 + tension(1, 2, 1), " line 6169: more than 1024 tensions"},
        {ball(1, 0, 0), " line 6: radius must be greater than 0 and at most 10000, not 0"},
        {ball(1, 0, 10000.5), " line 6: radius must be greater than 0 and at most 10000"},
        {ball(1, 0, -3), " line 6: radius must be greater than 0"},
        {two + "New Link\n1\n2\n100\n0\nnormal\n0\n", " line 29: thickness must be greater"},
        {two + "New Link\n1\n2\n100\n20000\nnormal\n0\n", " line 29: thickness must be"},
        {"New Ball\n1\n0\n0\n0\n20\n0\n0\n0\nnormal\n0\n0\n", " line 3: mass must be"},
        {"New Ball\n1\n-2\n0\n0\n20\n0\n0\n0\nnormal\n0\n0\n", " line 3: mass must be"},
        {ball(1, 1e300), " line 4: x must be from -10000000 to 10000000, not 1e+300"},
        {ball(1, 0) + link(1, 9), " line 15: no ball with id 9 comes before it"},
        {link(1, 2) + ball(1, 0) + ball(2, 0), " line 2: no ball with id 1 comes before it"},
        {ball(1, 0) + "New Tension\n1\n1\n9\n0\n50\n", " line 16: no ball with id 9"},
        {"", ": no ball in the file"},
    };
    for (const Case& c : cases) {
        ragobject body;
        testing::internal::CaptureStderr();
        EXPECT_EQ(load(c.text, body), LoadStatus::Broken) << c.said;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("figure.txt" + c.said), std::string::npos)
            << "wanted: " << c.said << "\ngot: " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_LE(body.balls.size(), 257u);
    }
    // The limits themselves are fine.
    ragobject body;
    EXPECT_EQ(load(balls256 + link(1, 2) + tension(1, 2, 3), body), LoadStatus::Loaded);
    EXPECT_EQ(load(two + selflinks1024 + tensions1024, body), LoadStatus::Loaded);
    EXPECT_EQ(load(ball(1, 0, 10000), body), LoadStatus::Loaded);
}

// The link solver applies the corrections of all links in a pass together, so links on the
// same balls add up; enough of them throw the balls further past their rest lengths every pass
// until the positions overflow. Such a figure is refused at the link that tips it over.
TEST(Loader, LinksThatWouldShakeTheFigureApartAreRefused) {
    // Ball 2 is tied five times to the fixed ball 3, then to ball 1.
    std::string text =
        ball(1, 0) + ball(2, 50) + "New Ball\n3\n2\n50\n50\n75\n1\n50\n5\nnormal\n0\n0\n";
    for (int i = 0; i < 5; ++i) text += link(2, 3);
    ragobject body;
    EXPECT_EQ(load(text + link(1, 2), body), LoadStatus::Loaded);
    testing::internal::CaptureStderr();
    EXPECT_EQ(load(text + link(1, 2) + link(2, 1), body), LoadStatus::Broken);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("figure.txt line 79: too many links pull on balls 2 and 1"),
              std::string::npos)
        << said;
}
