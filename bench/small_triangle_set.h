// The small-triangle benchmark's triangles, computed here once instead of by
// the scripts: the same spiral of about 100-pixel right triangles at 640 × 480.
#pragma once

#include <vector>

#include "render/triangle_sink.h"

namespace bench {

constexpr int32_t kSmallWidth = 640;
constexpr int32_t kSmallHeight = 480;
constexpr int kSmallTriangleCount = 10000;

// The values the triangle script of small_triangles_bench.cpp gives at t = 0.
const std::vector<render::TriangleVars>& smallTriangleSet();

}  // namespace bench
