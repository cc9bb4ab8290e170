// The single runtime context shared by every service function of this layer.
#include "runtime/context.h"

RuntimeContext& rt() {
    static RuntimeContext context;
    return context;
}
