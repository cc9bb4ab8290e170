#include "drawcalls.h"
#include "runtime/runtime.h"

std::vector<DrawCall> CallsOf(DrawCall::Kind kind) {
    std::vector<DrawCall> found;
    for (const DrawCall& call : Recorder()->calls)
        if (call.kind == kind) found.push_back(call);
    return found;
}
