// The renderer's OpenGL functions beyond 1.1, looked up in the context; see gl.h.
#include "runtime/gl.h"
#include <SDL.h>

#define VANTORIX_GL_DEFINE(type, name) type vantorix_##name = nullptr;
VANTORIX_GL_FUNCTIONS(VANTORIX_GL_DEFINE)
#undef VANTORIX_GL_DEFINE

bool LoadGlFunctions() {
    bool all = true;
#define VANTORIX_GL_LOAD(type, name)                                                               \
    vantorix_##name = reinterpret_cast<type>(SDL_GL_GetProcAddress(#name));                        \
    all = all && vantorix_##name;
    VANTORIX_GL_FUNCTIONS(VANTORIX_GL_LOAD)
#undef VANTORIX_GL_LOAD
    return all;
}
