// Where a big picture shows anything, and where it is plain opaque white, band by band. A
// picture that is mostly transparent with a solid body (the stadium's round ends) is then
// drawn as strips: its clear parts are left out, its white body becomes untextured fill, and
// only the texels in between are sampled, instead of one quad whose every pixel a software
// rasteriser would texture and blend. The result is the same pixels as long as no sample
// reaches further than the margin from where it is taken: true for linear filtering, and for
// trilinear filtering when the picture is shrunk to no less than half its size.
#pragma once
#include "runtime/quad.h"
#include "runtime/renderer.h"
#include <vector>

struct CoverageBands {
    int width = 0, height = 0; // the picture's size
    int rows = 0;              // texel rows per band
    // Per band, in texel columns: [first, end) holds every texel with alpha above 0 within
    // the margin of the band, widened by the margin; [solidFirst, solidEnd) lies inside it,
    // and every texel within the margin of that part is opaque white. Empty ranges have
    // first == end.
    struct Span {
        int first = 0, end = 0;
        int solidFirst = 0, solidEnd = 0;
        bool operator==(const Span&) const = default;
    };
    std::vector<Span> spans;
};

CoverageBands FindCoverage(const Pixels& pixels, int bandRows, int margin);

// Strips of an unturned image quad (corner 0 at the picture's first texel, corner 2 at its
// far corner) that together cover everything the picture shows: those to sample go to
// `textured`, the white body to `plain` (drawn untextured, they need no coordinates). Bands
// in a row with the same columns make one strip.
void CoveredStrips(const Quad& quad, const CoverageBands& bands,
                   std::vector<TexturedQuad>& textured, std::vector<Quad>& plain);
