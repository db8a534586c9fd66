// Round-half-to-even that does not depend on the floating-point environment:
// the host may have changed the rounding mode, and nearbyint() would follow it.
#pragma once

#include <cmath>

namespace render {

inline double roundHalfEven(double v) {
    const double below = std::floor(v);
    const double fraction = v - below;  // exact for every finite double
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

}  // namespace render
