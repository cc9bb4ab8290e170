#include "scene.h"
#include "physics/collide.h"
#include "physics/loader.h"

Tball& addball(ragobject& body, double x, double y, double radius, double basemass) {
    body.balls.push_back(std::make_unique<Tball>());
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
        if (loadragdoll(figurefile, *man, 0.5, double(1.12f), nullptr, nullptr, offsetx, 0, 1.0) !=
            LoadStatus::Loaded)
            return false;
        man->team = k + 1;
        man->speed = 6;
        scene.figures.push_back(std::move(man));
    }
    auto ball = std::make_unique<Tmainball>();
    ball->x = ball->oldx = ball->y = ball->oldy = 0;
    ball->radius = 40;
    ball->basemass = 5;
    ball->elastic = 1;
    scene.mainball = ball.get();
    scene.mainbody.balls.push_back(std::move(ball));
    scene.arena = {-1500, 1500, -2000, 2000};
    if (arenanumber == 5) {
        for (auto [x, y] : {std::pair{0, -1700}, {0, 1700}, {3700, 0}, {-3700, 0}}) {
            Tball& b = addball(scene.obstacles, x, y, 400, 1.0);
            b.fixed = 1;
            b.anchorx = x;
            b.anchory = y;
            b.bigimage = 1;
        }
    }
    return true;
}

template <typename F> static void eachbody(Scene& scene, F f) {
    for (auto& man : scene.figures) f(*man);
    f(scene.mainbody);
    f(scene.obstacles);
}

void stepscene(Scene& scene) {
    eachbody(scene, [](ragobject& body) {
        body.setmasses();
        body.storeold();
    });
    eachbody(scene, [](ragobject& body) {
        body.integrate(1.0, 0);
        body.pin();
        body.relax(1.0);
        body.updatevelocities(1.0);
    });
    auto& figures = scene.figures;
    for (int j = 0; j < 4; ++j) collideobjects(*figures[j % figures.size()], scene.mainbody, -20);
    for (size_t i = 0; i < figures.size(); ++i)
        for (size_t j = i + 1; j < figures.size(); ++j)
            collideobjects(*figures[i], *figures[j], -20);
    for (auto& man : figures) collideobjects(scene.obstacles, *man, -20);
    collideobjects(scene.mainbody, scene.obstacles, -20);
    for (auto& man : figures) man->collidearena(scene.arena);
    scene.mainbody.collidearena(scene.arena);
}
