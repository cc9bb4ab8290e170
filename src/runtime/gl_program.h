// The shader that draws from a level atlas (levels.h): texture coordinates 0 hold the place
// in the nearer level and, third, the weight of the farther one; coordinates 1 the place in
// the farther level. The texel is tinted by the vertex colour as under GL_MODULATE.
#pragma once
#include "runtime/gl.h"

// For RGBA pictures, or (alphaOnly) for alpha textures, which read as white with that alpha.
// 0 when the driver cannot build it; the message goes to stderr.
GLuint BuildLevelProgram(bool alphaOnly);
