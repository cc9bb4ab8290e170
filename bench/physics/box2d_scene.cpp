#include "box2d_scene.h"
#include "scene.h"
#include <cmath>
#include <map>
#include <numbers>

namespace {

constexpr float UNIT = 0.01f; // metres per world unit

b2Vec2 metres(double x, double y) {
    return {float(x) * UNIT, float(y) * UNIT};
}

b2Body* circle(b2World& world, const Tball& ball, b2BodyType type) {
    b2BodyDef def;
    def.type = type;
    def.position = metres(ball.x, ball.y);
    b2Body* body = world.CreateBody(&def);
    b2CircleShape shape;
    shape.m_radius = float(ball.radius) * UNIT;
    float area = std::numbers::pi_v<float> * shape.m_radius * shape.m_radius;
    body->CreateFixture(&shape, float(ball.basemass) / area);
    return body;
}

// The stadium's outline: two straight walls joined by two half circles.
void stadium(b2World& world, const Tarena& arena) {
    double r = (arena.bottom - arena.top) / 2, cy = (arena.top + arena.bottom) / 2;
    std::vector<b2Vec2> outline;
    const int steps = 32;
    for (int i = 0; i <= steps; ++i) {
        double a = -std::numbers::pi / 2 + std::numbers::pi * i / steps;
        outline.push_back(metres(arena.rightend + r * std::cos(a), cy + r * std::sin(a)));
    }
    for (int i = 0; i <= steps; ++i) {
        double a = std::numbers::pi / 2 + std::numbers::pi * i / steps;
        outline.push_back(metres(arena.leftend + r * std::cos(a), cy + r * std::sin(a)));
    }
    b2BodyDef def;
    b2Body* body = world.CreateBody(&def);
    b2ChainShape chain;
    chain.CreateLoop(outline.data(), int(outline.size()));
    body->CreateFixture(&chain, 0);
}

void figure(Box2DScene& out, const Tman& man) {
    b2World& world = *out.world;
    std::map<const Tball*, b2Body*> bodies;
    for (auto& b : man.balls) bodies[b.get()] = circle(world, *b, b2_dynamicBody);
    // Balls of one figure pass through each other, as in our step.
    for (auto& [ball, body] : bodies) {
        b2Filter filter;
        filter.groupIndex = int16(-(man.team));
        body->GetFixtureList()->SetFilterData(filter);
    }
    for (auto& l : man.links) {
        b2DistanceJointDef def;
        b2Body *a = bodies[l.ball1], *b = bodies[l.ball2];
        def.Initialize(a, b, a->GetPosition(), b->GetPosition());
        def.length = def.minLength = def.maxLength = float(l.length) * UNIT;
        world.CreateJoint(&def);
    }
    for (auto& t : man.tensions) {
        b2RevoluteJointDef def;
        b2Body *vertex = bodies[t.ball2], *outer = bodies[t.ball3];
        def.Initialize(vertex, outer, vertex->GetPosition());
        def.enableLimit = true;
        def.lowerAngle = -0.25f;
        def.upperAngle = 0.25f;
        world.CreateJoint(&def);
    }
    out.steered.push_back(bodies[man.balls[0].get()]);
}

} // namespace

Box2DScene buildbox2d(const Scene& scene) {
    Box2DScene out;
    out.world = std::make_unique<b2World>(b2Vec2(0, 0));
    for (auto& man : scene.figures) figure(out, *man);
    out.mainball = circle(*out.world, *scene.mainball, b2_dynamicBody);
    for (auto& b : scene.obstacles.balls) circle(*out.world, *b, b2_staticBody);
    stadium(*out.world, scene.world.bounds);
    return out;
}

void stepbox2d(Box2DScene& scene) {
    b2Vec2 target = scene.mainball->GetPosition();
    for (b2Body* body : scene.steered) {
        b2Vec2 way = target - body->GetPosition();
        way.Normalize();
        // 6 world units per frame of extra speed, as our steering adds.
        body->ApplyLinearImpulseToCenter(body->GetMass() * 6 * UNIT * 60 * way, true);
    }
    scene.world->Step(1.0f / 60, 8, 3);
}
