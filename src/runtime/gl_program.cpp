// The level-mixing shader; see gl_levels.h.
#define GL_GLEXT_PROTOTYPES
#include "runtime/gl_levels.h"
#include <cstdio>
#include <string>

namespace {

const char* const vertexSource = R"(
void main() {
    gl_Position = ftransform();
    gl_FrontColor = gl_Color;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_MultiTexCoord1;
}
)";

// An alpha texture samples as black with its alpha in a shader, where the fixed pipeline
// would keep the vertex colour; the alpha-only variant restores that. The farther level is
// read with a bias of one level: the atlas itself has no levels, and without the bias the
// driver would count that sample as magnified and, for a picture that is not filtered, take
// the nearest texel where trilinear filtering takes four.
const char* const fragmentSource = R"(
uniform sampler2D levels;
void main() {
    vec4 nearer = texture2D(levels, gl_TexCoord[0].xy);
    vec4 farther = texture2D(levels, gl_TexCoord[1].xy, 1.0);
    vec4 texel = mix(nearer, farther, gl_TexCoord[0].z);
#ifdef ALPHA_ONLY
    texel.rgb = vec3(1.0);
#endif
    gl_FragColor = texel * gl_Color;
}
)";

GLuint compile(GLenum kind, const std::string& source) {
    const GLuint shader = glCreateShader(kind);
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

GLuint BuildLevelProgram(bool alphaOnly) {
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compile(
        GL_FRAGMENT_SHADER, std::string(alphaOnly ? "#define ALPHA_ONLY\n" : "") + fragmentSource);
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE) {
            std::fprintf(stderr, "Shader: the level program does not link\n");
            glDeleteProgram(program);
            program = 0;
        }
    }
    // The program keeps what it needs; the shaders go once it is linked.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (program) {
        glUseProgram(program);
        glUniform1i(glGetUniformLocation(program, "levels"), 0);
        glUseProgram(0);
    }
    return program;
}
