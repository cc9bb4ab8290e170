// The desktop icons: the logo, which is taller than wide, centred on a square transparent
// canvas and shrunk to each size by averaging the pixels it covers (in premultiplied alpha, so
// the transparent edge leaves no dark fringe).
#pragma once
#include "canvas.h"

Canvas makeIcon(const Canvas& logo, int size);
