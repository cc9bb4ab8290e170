// OpenGL's declarations for the renderer. On Windows they need windows.h first, whose macros
// named like the game's own (CreateWindow, DrawState, DrawText, LoadImage) are taken back; and
// Windows' opengl32.dll gives OpenGL 1.1 alone, so the renderer's later functions are looked up
// once a context is made.
#pragma once
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef CreateWindow
#undef DrawState
#undef DrawText
#undef LoadImage
#endif
#include <GL/gl.h>
#include <GL/glext.h>

#ifdef _WIN32
#define VANTORIX_GL_FUNCTIONS(X)                                                                   \
    X(PFNGLATTACHSHADERPROC, glAttachShader)                                                       \
    X(PFNGLBINDATTRIBLOCATIONPROC, glBindAttribLocation)                                           \
    X(PFNGLBINDBUFFERPROC, glBindBuffer)                                                           \
    X(PFNGLBUFFERDATAPROC, glBufferData)                                                           \
    X(PFNGLCLIENTWAITSYNCPROC, glClientWaitSync)                                                   \
    X(PFNGLCOMPILESHADERPROC, glCompileShader)                                                     \
    X(PFNGLCREATEPROGRAMPROC, glCreateProgram)                                                     \
    X(PFNGLCREATESHADERPROC, glCreateShader)                                                       \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram)                                                     \
    X(PFNGLDELETESHADERPROC, glDeleteShader)                                                       \
    X(PFNGLDELETESYNCPROC, glDeleteSync)                                                           \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray)                                 \
    X(PFNGLFENCESYNCPROC, glFenceSync)                                                             \
    X(PFNGLGENBUFFERSPROC, glGenBuffers)                                                           \
    X(PFNGLGETPROGRAMIVPROC, glGetProgramiv)                                                       \
    X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog)                                               \
    X(PFNGLGETSHADERIVPROC, glGetShaderiv)                                                         \
    X(PFNGLGETSYNCIVPROC, glGetSynciv)                                                             \
    X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation)                                           \
    X(PFNGLLINKPROGRAMPROC, glLinkProgram)                                                         \
    X(PFNGLSHADERSOURCEPROC, glShaderSource)                                                       \
    X(PFNGLUNIFORM1IPROC, glUniform1i)                                                             \
    X(PFNGLUNIFORM4FPROC, glUniform4f)                                                             \
    X(PFNGLUSEPROGRAMPROC, glUseProgram)                                                           \
    X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer)
#define VANTORIX_GL_DECLARE(type, name) extern type vantorix_##name;
VANTORIX_GL_FUNCTIONS(VANTORIX_GL_DECLARE)
#undef VANTORIX_GL_DECLARE
#define glAttachShader vantorix_glAttachShader
#define glBindAttribLocation vantorix_glBindAttribLocation
#define glBindBuffer vantorix_glBindBuffer
#define glBufferData vantorix_glBufferData
#define glClientWaitSync vantorix_glClientWaitSync
#define glCompileShader vantorix_glCompileShader
#define glCreateProgram vantorix_glCreateProgram
#define glCreateShader vantorix_glCreateShader
#define glDeleteProgram vantorix_glDeleteProgram
#define glDeleteShader vantorix_glDeleteShader
#define glDeleteSync vantorix_glDeleteSync
#define glEnableVertexAttribArray vantorix_glEnableVertexAttribArray
#define glFenceSync vantorix_glFenceSync
#define glGenBuffers vantorix_glGenBuffers
#define glGetProgramiv vantorix_glGetProgramiv
#define glGetShaderInfoLog vantorix_glGetShaderInfoLog
#define glGetShaderiv vantorix_glGetShaderiv
#define glGetSynciv vantorix_glGetSynciv
#define glGetUniformLocation vantorix_glGetUniformLocation
#define glLinkProgram vantorix_glLinkProgram
#define glShaderSource vantorix_glShaderSource
#define glUniform1i vantorix_glUniform1i
#define glUniform4f vantorix_glUniform4f
#define glUseProgram vantorix_glUseProgram
#define glVertexAttribPointer vantorix_glVertexAttribPointer
// Looks the functions up in the current context; false when one is missing.
bool LoadGlFunctions();
#else
inline bool LoadGlFunctions() {
    return true;
}
#endif
