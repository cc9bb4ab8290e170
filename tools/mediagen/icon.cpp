#include "icon.h"

#include <algorithm>
#include <cmath>

Canvas makeIcon(const Canvas& logo, int size) {
    Canvas icon(size, size);
    const int side = std::max(logo.width(), logo.height());
    // The logo sits in the middle of a side x side square; each icon pixel covers scale x
    // scale pixels of that square.
    const double scale = double(side) / size;
    const double offsetx = (side - logo.width()) / 2.0, offsety = (side - logo.height()) / 2.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double x0 = x * scale - offsetx, x1 = x0 + scale;
            const double y0 = y * scale - offsety, y1 = y0 + scale;
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = std::max(0, int(std::floor(y0))); sy < logo.height() && sy < y1; ++sy) {
                const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                for (int sx = std::max(0, int(std::floor(x0))); sx < logo.width() && sx < x1;
                     ++sx) {
                    const double w = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
                    if (w <= 0) continue;
                    const Colour c = logo.get(sx, sy);
                    r += w * c.r * c.a, g += w * c.g * c.a, b += w * c.b * c.a, a += w * c.a;
                }
            }
            const double area = scale * scale;
            Colour out{1, 1, 1, 0};
            if (a > 0) {
                out = {float(r / a), float(g / a), float(b / a), float(std::min(1.0, a / area))};
            }
            icon.set(x, y, out);
        }
    }
    return icon;
}
