// Reading a figure from its text file of "New Ball", "New Link" and "New Tension" records.
#pragma once
#include "runtime/graphics.h"
#include "runtime/random.h"
#include <string>

class ragobject;

enum class LoadStatus {
    Loaded,    // a figure that can be stepped, steered and drawn
    NotOpened, // the file could not be opened; the target is unchanged
    Broken,    // read, but empty, with a link or tension end naming no earlier ball, beyond the
               // limits of a figure (256 balls, 1024 links, 1024 tensions, radii and
               // thicknesses in (0, 10000], positive masses), with a number that would poison
               // the step or with so many links on two linked balls that the link solver
               // would throw them further apart every pass; never step such a figure
};

// Replaces target's balls, links and tensions with the file's, scaled by size (radii,
// lengths, thicknesses, strengths), widthfactor (radii, thicknesses) and massfactor (masses,
// strengths) and shifted by the offsets. A file that cannot be opened shows
// "could not open <path>" (with the reason when the file is there); a broken one shows the
// path, the line and what is wrong with it. The keyboard is flushed afterwards in every case.
// Every new ball draws its first spot from the generator.
LoadStatus loadragdoll(const std::string& path, ragobject& target, RandomGenerator& random,
                       double size, double widthfactor, const TImage& ballimage,
                       const TImage& linkimage, double offsetx, double offsety, double massfactor);

// True when the object has balls, every link and tension end is set, and every number of its
// balls, links and tensions is finite with positive masses.
bool ragdollusable(const ragobject& body);
