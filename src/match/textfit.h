// Texts that must stay on the screen: a typed name or a long line is drawn smaller rather than
// cut off at the sides.
#pragma once
#include <string_view>

// The largest scale, at most the given one, at which the text's glyph advances (TextWidth)
// span no more than width pixels.
double fittingscale(std::string_view text, double scale, double width);
