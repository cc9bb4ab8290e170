// How far the drawing may run ahead of the rasteriser. Mesa's software rasteriser (llvmpipe)
// bins each frame on the calling thread and fills it on threads of its own; nothing in GL
// makes the caller wait for those threads unless something reads the pixels. A window's swap
// does (the picture must be copied out), but on the offscreen surface of scripted runs a swap
// does nothing at all, and the virtual clock never sleeps: the game then queued frame after
// frame, each holding its binned triangles, and a drawn level grew to almost a gigabyte.
// A fence behind every frame lets the game wait for the frame before last instead, so the
// rasteriser still works on one frame while the game builds the next. Needs a current GL
// context for its whole life.
#pragma once
#include "runtime/gl.h"
#include <deque>

class FrameFences {
  public:
    // Frames drawn and sent that may still be unfinished when endFrame returns.
    static constexpr int maxInFlight = 2;

    FrameFences();
    ~FrameFences();
    FrameFences(const FrameFences&) = delete;
    FrameFences& operator=(const FrameFences&) = delete;

    // After the frame's last command (its swap): fences it, then waits until no more than
    // maxInFlight frames are unfinished.
    void endFrame();
    // Frames sent that the rasteriser has not been seen to finish.
    int inFlight();
    // The context has fence syncs (GL 3.2 or ARB_sync). Without them every second frame
    // waits for all drawing with glFinish, which keeps the same bound.
    bool fenced() const { return fenced_; }

  private:
    // Forgets the frames the rasteriser has finished, oldest first.
    void forgetFinished();
    void waitOldest();

    bool fenced_ = false;
    std::deque<GLsync> fences_; // oldest first
    int unfenced_ = 0;          // frames since the last glFinish, without fences
};
