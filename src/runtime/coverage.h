// Where a picture shows anything, band by band. A large picture that is mostly transparent (the
// stadium's round ends are three quarters empty) is then drawn as strips around what it shows,
// instead of one quad whose every pixel a software rasteriser would texture and blend for
// nothing.
#pragma once
#include "runtime/quad.h"
#include "runtime/renderer.h"
#include <vector>

struct CoverageBands {
    int width = 0, height = 0; // the picture's size
    int rows = 0;              // texel rows per band
    // Per band, the columns [first, end) holding a texel with alpha above 0 in the band or in
    // the row just above or below it, widened by one column each side: everything linear
    // filtering can bring onto the band. first == end when there is nothing.
    struct Span {
        int first = 0, end = 0;
    };
    std::vector<Span> spans;
};

CoverageBands FindCoverage(const Pixels& pixels, int bandRows);

// Strips of an unturned image quad (corner 0 at the picture's first texel, corner 2 at its
// far corner) that together cover everything the picture shows; bands in a row with the same
// columns make one strip. Appended to out.
void CoveredStrips(const Quad& quad, const CoverageBands& bands, std::vector<TexturedQuad>& out);
