// The renderer's shader program, one source for OpenGL 2.1 and for OpenGL ES 2 / WebGL 1, built
// in a variant for each kind of run so that no variant branches: each vertex has its place in
// game pixels, its place in the texture (for a level atlas also the farther level's weight,
// and its place there; see levels.h) and its colour. The texel is tinted by the colour, as
// the fixed pipeline's GL_MODULATE did; an alpha texture reads as white with its alpha; in the
// mask mode what is not more than half opaque is dropped; an untextured run is its colour.
#pragma once
#include "runtime/gl.h"

// Where the vertex attributes are bound.
enum GlAttribute : GLuint {
    ATTRIB_PLACE = 0,  // x, y in game pixels
    ATTRIB_TEXEL = 1,  // u, v, and the farther level's weight
    ATTRIB_FAR = 2,    // u, v in the farther level
    ATTRIB_COLOUR = 3, // r, g, b, a as bytes
};

// The variants, as bits.
enum GlProgramKind {
    PROGRAM_TEXTURED = 1,
    PROGRAM_ALPHA_ONLY = 2, // with PROGRAM_TEXTURED
    PROGRAM_LEVELS = 4,     // with PROGRAM_TEXTURED
    PROGRAM_MASK = 8,
    PROGRAM_KINDS = 16,
};

struct GlProgram {
    GLuint program = 0;
    GLint view = -1;         // the game area's scale and offset into clip space
    unsigned viewSerial = 0; // the view it was last given
};

// The variant, in use, its picture from texture unit 0. program is 0 when the driver cannot
// build it; the message goes to stderr.
GlProgram BuildGlProgram(int kind);
