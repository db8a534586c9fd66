#include "small_triangle_set.h"

#include <cmath>

namespace bench {
namespace {

std::vector<render::TriangleVars> makeSet() {
    std::vector<render::TriangleVars> set;
    set.reserve(kSmallTriangleCount);
    const double step = 1.0 / (kSmallTriangleCount - 1);
    double i = 0.0;
    for (int k = 0; k < kSmallTriangleCount; ++k, i += step) {
        const double a = i * 1237.1, r = 0.85 * std::sqrt(i);
        const double x1 = r * std::sin(a), y1 = r * std::cos(a);
        set.push_back({x1, y1, x1 + 0.045, y1, x1, y1 + 0.06, i, 0.5 + 0.5 * std::sin(a), 1 - i, 0.0});
    }
    return set;
}

}  // namespace

const std::vector<render::TriangleVars>& smallTriangleSet() {
    static const std::vector<render::TriangleVars> set = makeSet();
    return set;
}

}  // namespace bench
