// Building an arena: the stadium boundary and one fixed body holding the obstacle balls.
#include "match/levels.h"
#include "match/match.h"
#include "physics/arena.h"
#include "physics/ragobject.h"

void Tmatch::buildarena(int number) {
    Tarenaplan plan = arenaplan(number);
    auto body = std::make_unique<ragobject>();
    for (const Tobstacle& o : plan.obstacles) {
        auto ball = std::make_unique<Tball>(random);
        ball->x = o.x;
        ball->y = o.y;
        ball->radius = o.radius;
        ball->fixed = 1;
        ball->image = bigballimage;
        ball->anchorx = o.x;
        ball->anchory = o.y;
        ball->basemass = 1.0;
        ball->bigimage = 1;
        body->balls.push_back(std::move(ball));
    }
    world.bounds.top = -plan.h / 2;
    world.bounds.bottom = plan.h / 2;
    world.bounds.leftend = -plan.w / 2;
    world.bounds.rightend = plan.w / 2;
    obstacles = std::move(body);
    // Always stepped last: the solvers see the moving bodies first.
    world.obstacles = obstacles.get();
}
