// The stepped edge gives edgeColumn's column on every row it walks: from the
// first row below the start or from a row further down (clipped at the top),
// for edges up to the full 32-bit range.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "case_name.h"
#include "render/triangle_walk.h"
#include "render/scanline_fill.h"

namespace {

using render::PixelVertex;

const int32_t kMin = std::numeric_limits<int32_t>::min();
const int32_t kMax = std::numeric_limits<int32_t>::max();

struct WalkCase {
    PixelVertex from, to;
    uint32_t firstWalked;  // where the walk starts, rows below from.y
    const char* name;
};

// Walks at most `rows` rows from the start, comparing each with edgeColumn.
void expectEveryRowMatches(PixelVertex from, PixelVertex to, uint32_t firstWalked, uint32_t rows) {
    render::EdgeWalk walk(from, to, firstWalked);
    const int64_t rise = static_cast<int64_t>(to.y) - from.y;
    for (int64_t walked = firstWalked; walked <= rise && walked < firstWalked + static_cast<int64_t>(rows); ++walked) {
        const int32_t y = static_cast<int32_t>(from.y + walked);
        ASSERT_EQ(walk.column(), render::edgeColumn(from, to, y))
            << "edge " << from.x << "," << from.y << " to " << to.x << "," << to.y << " on row " << y;
        walk.next();
    }
}

class EdgeWalkTest : public testing::TestWithParam<WalkCase> {};

TEST_P(EdgeWalkTest, EveryRowIsTheEdgeColumn) {
    const WalkCase& row = GetParam();
    expectEveryRowMatches(row.from, row.to, row.firstWalked, 5000);
    // And the last rows of the edge, reached by one jump.
    const uint32_t rise = static_cast<uint32_t>(static_cast<int64_t>(row.to.y) - row.from.y);
    if (rise > 5000) expectEveryRowMatches(row.from, row.to, rise - 4999, 5000);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, EdgeWalkTest,
    testing::Values(WalkCase{{0, 0}, {10, 4}, 1, "ShallowPositive"}, WalkCase{{10, 0}, {0, 4}, 1, "ShallowNegative"},
                    WalkCase{{0, 0}, {3, 97}, 1, "SteepPositive"}, WalkCase{{3, 0}, {-3, 97}, 1, "SteepNegative"},
                    WalkCase{{5, 3}, {5, 90}, 1, "Vertical"}, WalkCase{{0, 0}, {1000, 1}, 1, "OneRow"},
                    WalkCase{{-7, -50}, {2, 60}, 51, "ClippedAtTheTop"},
                    WalkCase{{kMin, 0}, {kMax, 7}, 1, "FullWidthInFewRows"},
                    WalkCase{{kMax, 0}, {kMin, 7}, 1, "FullWidthBackwards"},
                    WalkCase{{0, kMin}, {1000, kMax}, 1, "FullHeight"},
                    WalkCase{{kMin, kMin}, {kMax, kMax}, 0x80000000u, "LongestEdgeFromItsMiddle"},
                    WalkCase{{70000, 0}, {-70000, 70000}, 40000, "ProductPast2To31"}),
    CaseName());

// Random edges of every size: short ones on screen, long ones off it.
TEST(EdgeWalkTest, RandomEdgesMatchRowForRow) {
    uint32_t state = 2024;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state;
    };
    for (int n = 0; n < 3000; ++n) {
        const int shift = static_cast<int>(next() % 32);
        const PixelVertex from = {static_cast<int32_t>(next()) >> shift, static_cast<int32_t>(next()) >> shift};
        const PixelVertex to = {static_cast<int32_t>(next()) >> shift,
                                static_cast<int32_t>(static_cast<uint32_t>(from.y) + 1u + (next() >> shift))};
        if (to.y <= from.y) continue;
        const uint32_t rise = static_cast<uint32_t>(static_cast<int64_t>(to.y) - from.y);
        expectEveryRowMatches(from, to, 1 + next() % rise, 200);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
