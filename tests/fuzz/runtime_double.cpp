// The few runtime services the readers and the body drawing reach besides files and text:
// the fuzzers show no message boxes, ask nothing, read no keys and draw nothing.
#include "runtime/dialog.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"
#include "runtime/random.h"

void Notify(const std::string&, int) {}
int AskYesNoCancel(const std::string&, int) {
    return 0;
}
void FlushKeys() {}
RandomGenerator& GameRandom() {
    static RandomGenerator generator;
    return generator;
}
void SetDrawColor(int, int, int) {}
void SetDrawAlpha(float) {}
void SetDrawRotation(float) {}
void SetDrawScale(float, float) {}
void DrawImage(const TImage&, float, float, int) {}
