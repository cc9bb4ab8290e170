// libFuzzer target: any bytes as a figure file. Loading must never crash, and a figure the
// loader calls usable must step for a while without a single NaN or infinity.
#include "physics/arena.h"
#include "physics/loader.h"
#include "physics/ragobject.h"
#include "runtime/random.h"
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

static const std::string path = "fuzz_figure_" + std::to_string(getpid()) + ".txt";

static void step(ragobject& body, const Tarena& arena) {
    body.setmasses();
    body.storeold();
    body.balls[0]->vx += 6;
    body.integrate(1.0, 0.1);
    body.pin();
    body.relax(1.0);
    body.updatevelocities(1.0);
    body.collidearena(arena);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    ragobject body;
    LoadStatus status =
        loadragdoll(path, body, GameRandom(), 0.5, double(1.12f), nullptr, nullptr, 0, 0, 1);
    if (status != LoadStatus::Loaded) return 0;
    Tarena arena;
    for (int frame = 0; frame < 30; ++frame) {
        step(body, arena);
        for (auto& b : body.balls)
            if (!std::isfinite(b->x) || !std::isfinite(b->y) || !std::isfinite(b->vx)) std::abort();
    }
    return 0;
}
