// Many seeded random scenes of odd bodies: whatever happens, no number may become NaN or
// infinite, every free ball ends each frame inside the arena and fixed balls stay anchored.
#include "physics/arena.h"
#include "physics/collide.h"
#include "physics/constants.h"
#include "physics/ragobject.h"
#include "scene.h"
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Dice {
    std::mt19937 engine;
    double real(double lo, double hi) { return std::uniform_real_distribution(lo, hi)(engine); }
    int whole(int lo, int hi) { return std::uniform_int_distribution(lo, hi)(engine); }
    // Masses spread over five orders of magnitude.
    double mass() { return std::pow(10.0, real(-2, 3)); }
};

// Largest radius, link thickness and speed of the random bodies, and how far from the
// middle of the arena their centres may lie.
struct Style {
    double radius = 120, thickness = 20, speed = 60;
    double spreadx = 1500, spready = 800;
};

// Bodies crowded into a small part of the arena, so they touch and overlap from the start.
std::unique_ptr<ragobject> randombody(Dice& dice, Style style = {}) {
    auto body = std::make_unique<ragobject>();
    int count = dice.whole(1, 8);
    double cx = dice.real(-style.spreadx, style.spreadx);
    double cy = dice.real(-style.spready, style.spready);
    for (int i = 0; i < count; ++i) {
        Tball& b = addball(*body, cx + dice.real(-80, 80), cy + dice.real(-80, 80),
                           dice.real(1, style.radius), dice.mass());
        b.vx = dice.real(-style.speed, style.speed), b.vy = dice.real(-style.speed, style.speed);
        b.elastic = dice.whole(0, 1);
        b.fixed = dice.whole(0, 9) == 0 ? dice.whole(1, 2) : 0;
        b.anchorx = b.x, b.anchory = b.y;
    }
    auto any = [&] { return body->balls[dice.whole(0, count - 1)].get(); };
    for (int i = dice.whole(0, 2 * count); i > 0; --i)
        body->links.push_back(
            {{}, "normal", any(), any(), dice.real(0, 200), dice.real(0, style.thickness), 0});
    for (int i = dice.whole(0, count); i > 0; --i)
        body->tensions.push_back({any(), any(), any(), dice.real(0, 360), dice.real(0, 3000)});
    return body;
}

bool finite(const Tball& b) {
    for (double v : {b.x, b.y, b.vx, b.vy, b.oldx, b.oldy})
        if (!std::isfinite(v)) return false;
    return true;
}

bool inside(const Tball& b, const Tarena& arena) {
    double r = (arena.bottom - arena.top) / 2, cy = (arena.top + arena.bottom) / 2;
    double slack = 1e-6;
    if (b.x > arena.rightend || b.x < arena.leftend) {
        double cx = b.x > arena.rightend ? arena.rightend : arena.leftend;
        return std::hypot(b.x - cx, b.y - cy) <= r - b.radius + slack;
    }
    return b.y <= arena.bottom - b.radius + slack && b.y >= arena.top + b.radius - slack;
}

// Every contact test of two objects, with no shortcuts: what collideobjects must match.
int everycontact(ragobject& first, ragobject& second, double kick) {
    int hit = 0;
    for (auto& l : first.links)
        for (auto& b : second.balls) hit |= collidelink(*b, l, kick);
    for (auto& l : second.links)
        for (auto& b : first.balls) hit |= collidelink(*b, l, kick);
    for (auto& a : second.balls)
        for (auto& b : first.balls) hit |= collideballs(*a, *b, kick);
    return hit;
}

} // namespace

// Far objects and far pairs are skipped inside collideobjects; that must never change a
// single bit of the outcome.
TEST(Properties, ShortcutsInContactsChangeNothing) {
    int touching = 0, apart = 0;
    for (unsigned seed = 100; seed < 145; ++seed) {
        std::vector<std::unique_ptr<ragobject>> quick, full;
        Dice a{std::mt19937(seed)}, b{std::mt19937(seed)};
        // Besides plain scenes: small balls with thick links, slow or fast and close together,
        // where the reach of a contact comes from the link's thickness or the closing speed.
        const Style styles[3] = {{}, {5, 60, 2, 150, 150}, {20, 60, 200, 400, 400}};
        Style style = styles[seed % 3];
        for (int i = 0; i < 4; ++i)
            quick.push_back(randombody(a, style)), full.push_back(randombody(b, style));
        for (int frame = 0; frame < 30; ++frame) {
            for (size_t i = 0; i < quick.size(); ++i) {
                for (auto* body : {quick[i].get(), full[i].get()}) {
                    body->setmasses();
                    body->storeold();
                    body->integrate(1.0, 0);
                    body->relax(1.0);
                    body->updatevelocities(1.0);
                }
            }
            for (size_t i = 0; i < quick.size(); ++i)
                for (size_t j = i + 1; j < quick.size(); ++j) {
                    // Now and then the separating kick, which moves bodies much further.
                    double kick = (frame + int(i + j)) % 4 == 0 ? 60 : -20;
                    int hit = collideobjects(*quick[i], *quick[j], kick);
                    ASSERT_EQ(hit, everycontact(*full[i], *full[j], kick));
                    (hit ? touching : apart)++;
                }
            for (size_t i = 0; i < quick.size(); ++i)
                for (size_t k = 0; k < quick[i]->balls.size(); ++k) {
                    ASSERT_EQ(quick[i]->balls[k]->x, full[i]->balls[k]->x) << "seed " << seed;
                    ASSERT_EQ(quick[i]->balls[k]->vy, full[i]->balls[k]->vy) << "seed " << seed;
                }
        }
    }
    EXPECT_GT(touching, 100);
    EXPECT_GT(apart, 100);
}

TEST(Properties, RandomScenesStayFiniteInsideAndAnchored) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        Dice dice{std::mt19937(seed)};
        Tarena arena{-1500, 1500, -2000, 2000};
        std::vector<std::unique_ptr<ragobject>> bodies;
        for (int i = dice.whole(2, 5); i > 0; --i) bodies.push_back(randombody(dice));
        double gravity = dice.whole(0, 1) * dice.real(0, 0.5);
        for (int frame = 0; frame < 120; ++frame) {
            for (auto& body : bodies) body->setmasses(), body->storeold();
            for (auto& body : bodies) {
                body->balls[0]->vx += dice.real(-6, 6);
                body->integrate(1.0, gravity);
                body->pin();
                for (auto& b : body->balls)
                    if (b->fixed == 1) {
                        ASSERT_TRUE(b->x == b->anchorx && b->oldy == b->anchory);
                    }
                body->relax(1.0);
                body->updatevelocities(1.0);
            }
            for (size_t i = 0; i < bodies.size(); ++i)
                for (size_t j = i + 1; j < bodies.size(); ++j)
                    collideobjects(*bodies[i], *bodies[j], dice.whole(0, 3) ? -20 : 60);
            for (auto& body : bodies) {
                body->collidearena(arena);
                for (auto& b : body->balls) {
                    ASSERT_TRUE(finite(*b)) << "seed " << seed << " frame " << frame;
                    ASSERT_TRUE(b->fixed == 1 || inside(*b, arena))
                        << "seed " << seed << " frame " << frame << " at " << b->x << ", " << b->y;
                }
            }
        }
    }
}
