// The renderer's shader program; see gl_program.h.
#define GL_GLEXT_PROTOTYPES
#include "runtime/gl_program.h"
#include <cstdio>
#include <string>

namespace {

// GLSL 1.10 for the desktop, which OpenGL ES 2's GLSL 1.00 also reads but for its precision.
const char* const header = R"(
#ifdef GL_ES
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
#endif
)";

const char* const vertexSource = R"(
uniform vec4 view;
attribute vec2 place;
attribute vec3 texel;
attribute vec2 fartexel;
attribute vec4 colour;
varying vec3 near;
varying vec2 far;
varying vec4 tint;
void main() {
    gl_Position = vec4(place * view.xy + view.zw, 0.0, 1.0);
    near = texel;
    far = fartexel;
    tint = colour;
}
)";

// The farther level is read with a bias of one level: the atlas itself has no levels, and
// without the bias the driver would count that sample as magnified and, for a picture that is
// not filtered, take the nearest texel where trilinear filtering takes four.
const char* const fragmentSource = R"(
uniform sampler2D picture;
varying vec3 near;
varying vec2 far;
varying vec4 tint;
void main() {
    vec4 colour = tint;
#ifdef TEXTURED
    vec4 texel = texture2D(picture, near.xy);
#ifdef LEVELS
    texel = mix(texel, texture2D(picture, far, 1.0), near.z);
#endif
#ifdef ALPHA_ONLY
    texel.rgb = vec3(1.0);
#endif
    colour *= texel;
#endif
#ifdef MASK
    if (colour.a <= 0.5) discard;
#endif
    gl_FragColor = colour;
}
)";

GLuint compile(GLenum kind, const std::string& defines, const char* body) {
    const GLuint shader = glCreateShader(kind);
    const std::string source = defines + header + body;
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    char log[512] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "Shader: %s\n", log);
    glDeleteShader(shader);
    return 0;
}

} // namespace

GlProgram BuildGlProgram(int kind) {
    std::string defines;
    if (kind & PROGRAM_TEXTURED) defines += "#define TEXTURED\n";
    if (kind & PROGRAM_ALPHA_ONLY) defines += "#define ALPHA_ONLY\n";
    if (kind & PROGRAM_LEVELS) defines += "#define LEVELS\n";
    if (kind & PROGRAM_MASK) defines += "#define MASK\n";
    GlProgram built;
    const GLuint vertex = compile(GL_VERTEX_SHADER, "", vertexSource);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, defines, fragmentSource);
    if (vertex && fragment) {
        built.program = glCreateProgram();
        glAttachShader(built.program, vertex);
        glAttachShader(built.program, fragment);
        glBindAttribLocation(built.program, ATTRIB_PLACE, "place");
        glBindAttribLocation(built.program, ATTRIB_TEXEL, "texel");
        glBindAttribLocation(built.program, ATTRIB_FAR, "fartexel");
        glBindAttribLocation(built.program, ATTRIB_COLOUR, "colour");
        glLinkProgram(built.program);
        GLint ok = GL_FALSE;
        glGetProgramiv(built.program, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE) {
            std::fprintf(stderr, "Shader: the program does not link\n");
            glDeleteProgram(built.program);
            built.program = 0;
        }
    }
    // The program keeps what it needs; the shaders go once it is linked.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (!built.program) return built;
    glUseProgram(built.program);
    glUniform1i(glGetUniformLocation(built.program, "picture"), 0);
    built.view = glGetUniformLocation(built.program, "view");
    return built;
}
