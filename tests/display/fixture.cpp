#include "fixture.h"
#include "effects/burst.h"
#include "effects/trailitem.h"
#include "gamefolder.h"
#include "physics/man.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include <gtest/gtest.h>

namespace {
struct Media {
    TImage trail, mezball, bigball, ball, mainball, rect, spark;
};

const Media& media() {
    // Kept to the end of the process: pictures must not outlive the drawing surface.
    static Media& m = *new Media;
    static bool loaded = false;
    if (loaded) return m;
    StartWithSurface(VideoMode::Recording);
    auto centred = [](const char* file) {
        TImage image = LoadImage(file);
        MidHandleImage(image);
        return image;
    };
    m.trail = LoadImage("media/scia.png");
    m.mezball = LoadImage("media/mezball2.png");
    m.bigball = centred("media/bigball.png");
    m.ball = centred("media/ball.png");
    m.mainball = centred("media/mainball+0.png");
    m.rect = centred("media/rect.png");
    m.spark = centred("media/spark.png");
    SetFont(LoadFont("media/zekton__.ttf", 128, 4));
    loaded = true;
    return m;
}
} // namespace

std::unique_ptr<Tmatch> makematch(const std::string& mode, int sw, int sh, int figures,
                                  int teamcolours) {
    const Media& m = media();
    auto match = std::make_unique<Tmatch>();
    match->screenwidth = sw, match->screenheight = sh;
    match->trailimage = m.trail, match->mezballimage = m.mezball;
    match->bigballimage = m.bigball, match->ballimage = m.ball;
    match->mainballimage = m.mainball, match->rectimage = m.rect, match->sparkimage = m.spark;
    match->mode = mode;
    match->teamcolours = teamcolours;
    match->showfireworks = true;
    SeedRandom(match->random, 1234);
    if (mode == "levels") {
        match->level = 1;
        match->setuplevel(1);
    } else {
        Tcustomsettings custom;
        custom.players = figures;
        match->setupcustom(custom);
    }
    EXPECT_FALSE(match->setupfailed);
    match->trailitems = CreateList<Ttrailitem>();
    match->rockets = CreateList<Tburst>();
    clearcalls();
    return match;
}

void clearcalls() {
    Recorder()->calls.clear();
}

std::vector<DrawCall> imagesof(const std::string& file) {
    std::vector<DrawCall> found;
    for (const DrawCall& call : CallsOf(DrawCall::Image))
        if (call.what.ends_with(file)) found.push_back(call);
    return found;
}

std::vector<std::string> texts() {
    std::vector<std::string> found;
    for (const DrawCall& call : CallsOf(DrawCall::Text)) found.push_back(call.what);
    return found;
}
