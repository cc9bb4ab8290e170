// The few runtime services the loader and the body drawing reach besides files and text:
// the fuzzer shows no message boxes, reads no keys and draws nothing.
#include "runtime/dialog.h"
#include "runtime/graphics.h"
#include "runtime/keyboard.h"

void Notify(const std::string&, int) {}
void FlushKeys() {}
void SetDrawColor(int, int, int) {}
void SetDrawAlpha(float) {}
void SetDrawRotation(float) {}
void SetDrawScale(float, float) {}
void DrawImage(const TImage&, float, float, int) {}
