// The single runtime context shared by every service function of this layer; see context.h.
#include "runtime/context.h"
#include "runtime/runtime.h"

RuntimeContext& rt() {
    static RuntimeContext* context = new RuntimeContext;
    return *context;
}

Renderer* DrawingRenderer() {
    return rt().renderer.get();
}

void PumpEvents() {
    EndIfStopped();
    if (rt().batches > 0) return;
    rt().platform.input->pump();
    if (rt().pumpHook) rt().pumpHook();
}

unsigned long NextRendererSerial() {
    return ++rt().rendererSerials;
}

RandomGenerator& GameRandom() {
    return rt().random;
}
