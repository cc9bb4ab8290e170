#include "scene.h"
#include "physics/collide.h"
#include "physics/loader.h"
#include "runtime/random.h"

Tball& addball(ragobject& body, double x, double y, double radius, double basemass) {
    body.balls.push_back(std::make_unique<Tball>(GameRandom()));
    Tball& b = *body.balls.back();
    b.x = b.oldx = x;
    b.y = b.oldy = y;
    b.radius = radius;
    b.basemass = basemass;
    return b;
}

bool buildscene(Scene& scene, const std::string& figurefile, int figurecount, int arenanumber) {
    for (int k = 0; k < figurecount; ++k) {
        auto man = std::make_unique<Tman>();
        double offsetx = (k - (figurecount - 1) / 2.0) * 1300;
        if (loadragdoll(figurefile, *man, GameRandom(), 0.5, double(1.12f), nullptr, nullptr,
                        offsetx, 0, 1.0) != LoadStatus::Loaded)
            return false;
        man->team = k + 1;
        man->speed = 6;
        scene.figures.push_back(std::move(man));
    }
    auto ball = std::make_unique<Tmainball>(GameRandom());
    ball->x = ball->oldx = ball->y = ball->oldy = 0;
    ball->radius = 40;
    ball->basemass = 5;
    ball->elastic = 1;
    scene.mainball = ball.get();
    scene.mainbody.balls.push_back(std::move(ball));
    scene.world.bounds = {-1500, 1500, -2000, 2000};
    if (arenanumber == 5) {
        for (auto [x, y] : {std::pair{0, -1700}, {0, 1700}, {3700, 0}, {-3700, 0}}) {
            Tball& b = addball(scene.obstacles, x, y, 400, 1.0);
            b.fixed = 1;
            b.anchorx = x;
            b.anchory = y;
            b.bigimage = 1;
        }
    }
    for (auto& man : scene.figures) scene.world.figures.push_back(man.get());
    scene.world.ballbodies.push_back(&scene.mainbody);
    scene.world.obstacles = &scene.obstacles;
    return true;
}

void stepscene(Scene& scene) {
    auto& figures = scene.figures;
    const int n = int(figures.size());
    stepworld(
        scene.world, [] {},
        [&] {
            const int first = RandomInt(0, n - 1);
            for (int j = first; j < first + 4; ++j)
                collideobjects(*figures[j % n], scene.mainbody, -20);
            for (int i = 0; i < n; ++i)
                for (int j = i + 1; j < n; ++j) collideobjects(*figures[i], *figures[j], -20);
        });
}
