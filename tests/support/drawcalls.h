// Reading the recording renderer's log.
#pragma once
#include "runtime/renderer.h"
#include <vector>

// The logged calls of one kind, in drawing order.
std::vector<DrawCall> CallsOf(DrawCall::Kind kind);
