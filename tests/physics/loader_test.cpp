// The figure file: grammar, scaling, id resolution and damaged files.
#include "physics/loader.h"
#include "physics/ragobject.h"
#include "runtime/context.h"
#include "runtime/keyboard.h"
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
    return loadragdoll(writefile("figure.txt", text), body, size, double(1.12f), nullptr, nullptr,
                       1000, -200, 2.0);
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
    EXPECT_EQ(load(link(1, 7) + ball(7, 0) + ball(1, 10) + ball(7, 20) + link(1, 7, 5, "stop") +
                       link(7, 1, 5, "rope"),
                   body),
              LoadStatus::Broken);
    ASSERT_EQ(body.links.size(), 3u);
    EXPECT_EQ(body.links[0].ball1, nullptr);
    EXPECT_EQ(body.links[0].ball2, nullptr);
    EXPECT_EQ(body.links[1].ball2, body.balls[2].get());
    EXPECT_EQ(body.links[1].kind, "stop");
    EXPECT_EQ(body.links[2].kind, "normal");
}

// Keys held while a figure loads are forgotten, whether the file opened or not.
TEST(Loader, ReplacesOldContentButAMissingFileChangesNothing) {
    ragobject body;
    load(ball(1, 0) + ball(2, 0) + link(1, 2) + tension(1, 2, 1), body);
    rt().keys.press(KEY_LEFT);
    ASSERT_EQ(load(ball(5, 0), body), LoadStatus::Loaded);
    EXPECT_EQ(KeyDown(KEY_LEFT), 0);
    EXPECT_EQ(body.balls.size(), 1u);
    EXPECT_TRUE(body.links.empty() && body.tensions.empty());
    rt().keys.press(KEY_UP);
    EXPECT_EQ(loadragdoll(testing::TempDir() + "no/such/figure.txt", body, 1, 1, nullptr, nullptr,
                          0, 0, 1),
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
    std::string many;
    for (int i = 0; i < 10000; ++i) many += i % 2 ? ball(i, i) : link(i - 1, i - 2);
    ragobject body;
    load(many, body);
    EXPECT_EQ(body.balls.size(), 5000u);
    EXPECT_EQ(body.links.size(), 5000u);
    EXPECT_EQ(body.links[4999].ball1, body.balls[4998].get());
}
