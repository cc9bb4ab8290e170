// The seven pictures a match draws with, handed over as one record by the application, which
// owns them (the logo stays behind).
#pragma once
#include "runtime/graphics.h"

struct Tmatchmedia {
    TImage trailimage, mezballimage, bigballimage, ballimage, mainballimage, rectimage, sparkimage;
};
