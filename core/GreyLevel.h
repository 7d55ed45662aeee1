#pragma once

// The grey level arithmetic shared by GrayLevel and the conversion engine's
// hot path. Only for core/, whose sources are built without floating-point
// contraction.

#include "Colour.h"

namespace glimmora::detail {

// green 0.59, red 0.33, blue 0.11, added in that order in double precision,
// rounded half to even, limited to 0..255. Written without branches: on a
// picture of varied colours the rounding decisions are random and would be
// mispredicted half of the time.
inline int GreyLevelOf(Colour colour) {
    // Truncating division and a remainder with the dividend's sign, as the
    // colour arithmetic has always been done here.
    const int red = colour % 256;
    const int green = (colour / 256) % 256;
    const int blue = (colour / 65536) % 256;
    double sum = static_cast<double>(green) * 0.59;
    sum = sum + static_cast<double>(red) * 0.33;
    sum = sum + static_cast<double>(blue) * 0.11;
    // sum lies within -290..290. Truncate, then step away from zero when the
    // fraction passes one half, or is one half and the whole part is odd.
    const int whole = static_cast<int>(sum);
    const double fraction = sum - static_cast<double>(whole); // exact
    const int odd = whole & 1;
    const int up = static_cast<int>(fraction > 0.5) | (static_cast<int>(fraction == 0.5) & odd);
    const int down = static_cast<int>(fraction < -0.5) | (static_cast<int>(fraction == -0.5) & odd);
    int level = whole + up - down;
    level = level > 255 ? 255 : level;
    level = level < 0 ? 0 : level;
    return level;
}

} // namespace glimmora::detail
