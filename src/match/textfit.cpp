// See textfit.h.
#include "match/textfit.h"
#include "runtime/graphics.h"

double fittingscale(std::string_view text, double scale, double width) {
    const int advances = TextWidth(text);
    if (advances <= 0 || advances * scale <= width) return scale;
    return width / advances;
}
