// Row walk, skip rules, span clipping and edge arithmetic of the fill.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "case_name.h"
#include "render/scanline_fill.h"

namespace {

using render::PixelVertex;

// Counts the writes per pixel, so double writes show too.
void countWrites(uint32_t* pixels, uint32_t*, int32_t count, const render::SpanPaint&) {
    for (int32_t k = 0; k < count; ++k) ++pixels[k];
}

struct Canvas {
    Canvas(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h)) {}
    void fill(PixelVertex v1, PixelVertex v2, PixelVertex v3) {
        const render::FillTarget target = {pixels.data(), nullptr, width, height};
        render::fillTriangle(target, render::orderByRow(v1, v2, v3), countWrites, render::makeSpanPaint(0, 0, 0));
    }
    uint32_t at(int32_t row, int32_t column) const {
        return pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(column)];
    }
    // [first, end) of the written columns in a row, which must be one run
    // of single writes; {0, 0} for an empty row.
    std::pair<int32_t, int32_t> run(int32_t row) const {
        int32_t first = -1, end = -1;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t writes = at(row, x);
            EXPECT_LE(writes, 1u) << "row " << row << " column " << x;
            if (writes == 0) continue;
            if (first < 0) first = x;
            EXPECT_TRUE(end < 0 || end == x) << "gap in row " << row;
            end = x + 1;
        }
        return first < 0 ? std::make_pair(0, 0) : std::make_pair(first, end);
    }
    uint64_t total() const {
        uint64_t sum = 0;
        for (uint32_t p : pixels) sum += p;
        return sum;
    }
    int32_t width, height;
    std::vector<uint32_t> pixels;
};

TEST(ScanlineFillTest, CornerTriangleSkipsItsFlatTopAndTheLastColumn) {
    Canvas canvas(100, 100);
    canvas.fill({0, 0}, {99, 0}, {0, 99});
    EXPECT_EQ(canvas.run(0), std::make_pair(0, 0)) << "flat top row";
    for (int32_t y = 1; y < 100; ++y) {
        const std::pair<int32_t, int32_t> expected = y == 99 ? std::make_pair(0, 0) : std::make_pair(0, 99 - y);
        EXPECT_EQ(canvas.run(y), expected) << "row " << y;
    }
}

TEST(ScanlineFillTest, TwoHalvesOfTheFrameLeaveRow0AndTheLastColumnUntouched) {
    Canvas canvas(40, 30);
    canvas.fill({0, 0}, {39, 0}, {39, 29});
    canvas.fill({0, 0}, {0, 29}, {39, 29});
    for (int32_t x = 0; x < 40; ++x) EXPECT_EQ(canvas.at(0, x), 0u) << "column " << x;
    for (int32_t y = 0; y < 30; ++y) EXPECT_EQ(canvas.at(y, 39), 0u) << "row " << y;
    // Rows 1-29 are covered from column 0 up to the last column.
    for (int32_t y = 1; y < 30; ++y)
        for (int32_t x = 0; x < 39; ++x) EXPECT_GE(canvas.at(y, x), 1u) << y << "," << x;
}

TEST(ScanlineFillTest, TopVertexAboveTheFrameFillsRow0) {
    Canvas canvas(20, 20);
    canvas.fill({-5, -10}, {30, -10}, {10, 30});
    EXPECT_NE(canvas.run(0), std::make_pair(0, 0));
}

TEST(ScanlineFillTest, CrossingTheLeftEdgeKeepsTheUnclippedSlope) {
    // A flat top from x = -100 to 100 on row 0, bottom-left corner (-100, 100):
    // the right edge is x = 100 - 2y, the left one lies outside the frame.
    Canvas canvas(50, 50);
    canvas.fill({-100, 0}, {100, 0}, {-100, 100});
    for (int32_t y = 1; y < 50; ++y) {
        const int32_t right = 100 - 2 * y < 49 ? 100 - 2 * y : 49;
        EXPECT_EQ(canvas.run(y), std::make_pair(0, right)) << "row " << y;
    }
}

TEST(ScanlineFillTest, FlatBottomFillsItsBottomRowInTheUpperHalf) {
    Canvas canvas(30, 30);
    canvas.fill({10, 5}, {2, 15}, {20, 15});
    EXPECT_EQ(canvas.run(5), std::make_pair(0, 0)) << "top vertex row";
    EXPECT_EQ(canvas.run(15), std::make_pair(2, 20));
    EXPECT_EQ(canvas.run(16), std::make_pair(0, 0));
}

TEST(ScanlineFillTest, PointBottomGivesAnEmptySpanOnItsRow) {
    Canvas canvas(30, 30);
    canvas.fill({2, 5}, {20, 5}, {11, 14});
    EXPECT_EQ(canvas.run(14), std::make_pair(0, 0));
    EXPECT_EQ(canvas.run(13), std::make_pair(10, 12));
}

struct NothingCase {
    PixelVertex v1, v2, v3;
    const char* name;
};

class DrawsNothingTest : public testing::TestWithParam<NothingCase> {};

TEST_P(DrawsNothingTest, LeavesEveryPixel) {
    Canvas canvas(32, 24);
    canvas.fill(GetParam().v1, GetParam().v2, GetParam().v3);
    EXPECT_EQ(canvas.total(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Triangles, DrawsNothingTest,
    testing::Values(NothingCase{{0, 7}, {20, 7}, {31, 7}, "ThreeVerticesOnOneRow"},
                    NothingCase{{0, -30}, {20, -5}, {31, -1}, "AboveRow0"},
                    NothingCase{{0, 24}, {20, 40}, {31, 30}, "BelowTheLastRow"},
                    NothingCase{{-40, 0}, {-1, 10}, {-20, 23}, "LeftOfColumn0"},
                    NothingCase{{31, 0}, {60, 10}, {40, 23}, "OnAndRightOfTheLastColumn"},
                    NothingCase{{5, 5}, {5, 5}, {5, 5}, "SinglePoint"},
                    NothingCase{{3, 3}, {9, 9}, {15, 15}, "Collinear"}),
    CaseName());

TEST(ScanlineFillTest, FrameOfNoWidthOrHeightIsNeverWritten) {
    uint32_t guard[4] = {7, 7, 7, 7};
    for (const std::pair<int32_t, int32_t>& size :
         {std::make_pair(0, 4), std::make_pair(4, 0), std::make_pair(-3, 4), std::make_pair(4, -3)}) {
        const render::FillTarget target = {guard, nullptr, size.first, size.second};
        render::fillTriangle(target, render::orderByRow({-50, -50}, {50, -50}, {0, 50}), countWrites,
                             render::makeSpanPaint(0, 0, 0));
    }
    for (uint32_t word : guard) EXPECT_EQ(word, 7u);
}

TEST(ScanlineFillTest, VerticesAtTheInt32ExtremesFillTheWholeFrameWithoutWrapping) {
    const int32_t low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
    Canvas canvas(16, 12);
    // Huge, but the frame lies well inside: every row 0..11 spans the frame.
    canvas.fill({low, low}, {high, low}, {0, high});
    for (int32_t y = 0; y < 12; ++y) EXPECT_EQ(canvas.run(y), std::make_pair(0, 15)) << "row " << y;
}

struct EdgeCase {
    PixelVertex from, to;
    int32_t y;
    int32_t column;
    const char* name;
};

class EdgeColumnTest : public testing::TestWithParam<EdgeCase> {};

TEST_P(EdgeColumnTest, IsTheTruncatedEdgePosition) {
    EXPECT_EQ(render::edgeColumn(GetParam().from, GetParam().to, GetParam().y), GetParam().column);
}

const int32_t kMin = std::numeric_limits<int32_t>::min();
const int32_t kMax = std::numeric_limits<int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Edges, EdgeColumnTest,
    testing::Values(EdgeCase{{0, 0}, {10, 4}, 1, 2, "PositiveSlopeTruncates"},
                    EdgeCase{{10, 0}, {0, 4}, 1, 8, "NegativeSlopeTruncatesTowardZero"},
                    EdgeCase{{-7, 0}, {2, 2}, 1, -3, "NegativeStartRoundsTowardTheStart"},
                    EdgeCase{{5, 3}, {5, 90}, 50, 5, "Vertical"},
                    EdgeCase{{0, 0}, {77, 9}, 9, 77, "EndRowGivesTheEndColumn"},
                    // Products past 32 bits: the true position, never a wrapped one.
                    EdgeCase{{kMin, 0}, {kMax, 2}, 1, -1, "FullRangeMidpoint"},
                    EdgeCase{{kMax, 0}, {kMin, 2}, 1, 0, "FullRangeMidpointBackwards"},
                    EdgeCase{{0, kMin}, {1000, kMax}, 5, 500, "TallEdge"},
                    EdgeCase{{70000, 0}, {-70000, 70000}, 50000, -30000, "ProductPast2To31"},
                    EdgeCase{{kMin, kMin}, {kMax, kMax}, kMax, kMax, "EndOfTheLongestEdge"}),
    CaseName());

// Wherever 32-bit arithmetic does not overflow, the result is the 32-bit one.
TEST(EdgeColumnTest, MatchesPlain32BitArithmeticWhereItDoesNotOverflow) {
    uint32_t state = 12345;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state;
    };
    int checked = 0;
    for (int n = 0; n < 200000; ++n) {
        const int32_t span = static_cast<int32_t>(next() >> (next() % 31));
        const PixelVertex from = {static_cast<int32_t>(next()) >> (next() % 32), static_cast<int32_t>(next()) >> 8};
        const PixelVertex to = {static_cast<int32_t>(next()) >> (next() % 32), from.y + 1 + (span & 0xFFFFF)};
        if (to.y <= from.y) continue;
        const int32_t y = from.y + 1 + static_cast<int32_t>(next() % static_cast<uint32_t>(to.y - from.y));
        int32_t run, walked, product;
        if (__builtin_sub_overflow(to.x, from.x, &run)) continue;
        if (__builtin_sub_overflow(y, from.y, &walked)) continue;
        if (__builtin_mul_overflow(run, walked, &product)) continue;
        const int32_t plain = product / (to.y - from.y) + from.x;
        ASSERT_EQ(render::edgeColumn(from, to, y), plain) << from.x << "," << from.y << " " << to.x << "," << to.y
                                                         << " y=" << y;
        ++checked;
    }
    EXPECT_GT(checked, 50000);
}

}  // namespace
