// Fences behind the frames; see gl_frames.h.
#define GL_GLEXT_PROTOTYPES
#include "runtime/gl_frames.h"
#include <cstdio>
#include <cstring>

#ifdef __EMSCRIPTEN__

// WebGL 1 has no fences, and the browser itself keeps a page's drawing at most a frame or two
// behind what it shows.
FrameFences::FrameFences() = default;
FrameFences::~FrameFences() = default;
void FrameFences::endFrame() {}
int FrameFences::inFlight() {
    return 0;
}

#else

namespace {

// Fence syncs are core from GL 3.2 and an extension before; a 2.1 context asked of Mesa is
// usually a newer compatibility one, so both are looked at.
bool HasFenceSync() {
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
        (major > 3 || (major == 3 && minor >= 2)))
        return true;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!extensions) return false;
    // Whole names only: GL_ARB_sync must not match a longer name that starts with it.
    const size_t length = std::strlen("GL_ARB_sync");
    for (const char* at = std::strstr(extensions, "GL_ARB_sync"); at;
         at = std::strstr(at + length, "GL_ARB_sync")) {
        const bool starts = at == extensions || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

// One second: long enough for any frame; the wait is repeated until the frame is done.
constexpr GLuint64 waitslice = 1000000000ull;

} // namespace

FrameFences::FrameFences() : fenced_(HasFenceSync()) {}

FrameFences::~FrameFences() {
    for (GLsync fence : fences_) glDeleteSync(fence);
}

void FrameFences::endFrame() {
    if (!fenced_) {
        glFlush();
        if (++unfenced_ >= maxInFlight) {
            glFinish();
            unfenced_ = 0;
        }
        return;
    }
    // Making the fence also sends the frame to the rasteriser.
    GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (!fence) {
        // Refused after all: wait for everything now, and from here on every second frame.
        fenced_ = false;
        glFinish();
        for (GLsync old : fences_) glDeleteSync(old);
        fences_.clear();
        return;
    }
    fences_.push_back(fence);
    forgetFinished();
    while (static_cast<int>(fences_.size()) > maxInFlight) waitOldest();
}

int FrameFences::inFlight() {
    if (!fenced_) return unfenced_;
    forgetFinished();
    return static_cast<int>(fences_.size());
}

void FrameFences::forgetFinished() {
    while (!fences_.empty()) {
        GLint status = GL_UNSIGNALED;
        glGetSynciv(fences_.front(), GL_SYNC_STATUS, 1, nullptr, &status);
        if (status != GL_SIGNALED) return;
        glDeleteSync(fences_.front());
        fences_.pop_front();
    }
}

void FrameFences::waitOldest() {
    GLsync fence = fences_.front();
    GLenum result = GL_TIMEOUT_EXPIRED;
    while (result == GL_TIMEOUT_EXPIRED)
        result = glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, waitslice);
    // A failed wait (a lost context) must not leave the game waiting forever.
    if (result == GL_WAIT_FAILED) glFinish();
    glDeleteSync(fence);
    fences_.pop_front();
}

#endif
