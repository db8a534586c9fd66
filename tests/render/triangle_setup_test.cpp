// From script values to pixel coordinates, colour, depth and vertex order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "case_name.h"
#include "render/rounding.h"
#include "render/triangle_setup.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct PixelCase {
    double coordinate;
    double scale;
    int32_t pixel;
    const char* name;
};

class ToPixelTest : public testing::TestWithParam<PixelCase> {};

TEST_P(ToPixelTest, TruncatesToward0AndKeepsTheLow32Bits) {
    EXPECT_EQ(render::toPixel(GetParam().coordinate, GetParam().scale), GetParam().pixel);
}

INSTANTIATE_TEST_SUITE_P(
    Coordinates, ToPixelTest,
    testing::Values(PixelCase{-1.0, 49.5, 0, "MinusOneIsColumn0"}, PixelCase{1.0, 49.5, 99, "OneIsTheLastColumn"},
                    PixelCase{0.0, 49.5, 49, "CentreTruncates"}, PixelCase{-1.5, 49.5, -24, "NegativeTruncatesUp"},
                    PixelCase{-3.0, 0.5, -1, "AboveTheFrame"}, PixelCase{kNaN, 49.5, 0, "NaN"},
                    PixelCase{kInf, 49.5, 0, "Infinity"}, PixelCase{-kInf, 49.5, 0, "MinusInfinity"},
                    PixelCase{1.0, kNaN, 0, "NaNScale"},
                    PixelCase{4294967296.0 + 4.0, 1.0, 5, "WrapsPast32Bits"},
                    PixelCase{2147483647.0, 1.0, -2147483648, "TopBitMakesItNegative"},
                    PixelCase{-4294967296.0 - 4.0, 1.0, -3, "WrapsNegative"},
                    PixelCase{9223372036854775808.0, 1.0, 0, "Beyond64Bits"},
                    PixelCase{-9223372036854773760.0, 1.0, 2048, "NearTheLowestInt64"},
                    PixelCase{1e300, 1.0, 0, "FarBeyond64Bits"},
                    PixelCase{9223372036854774784.0, 1.0, -1024, "LargestBelow2To63"}),
    CaseName());

TEST(FrameScalesTest, HalfTheLastIndex) {
    const render::FrameScales scales = render::frameScales(100, 61);
    EXPECT_EQ(scales.x, 49.5);
    EXPECT_EQ(scales.y, 30.0);
    const render::FrameScales extreme = render::frameScales(-2147483647 - 1, 0);
    EXPECT_EQ(extreme.x, -1073741824.5);
    EXPECT_EQ(extreme.y, -0.5);
}

struct ColourCase {
    double red, green, blue;
    uint32_t packed;
    const char* name;
};

class PackColourTest : public testing::TestWithParam<ColourCase> {};

TEST_P(PackColourTest, ClampsScalesAndRoundsHalfToEven) {
    EXPECT_EQ(render::packColour(GetParam().red, GetParam().green, GetParam().blue), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, PackColourTest,
    testing::Values(ColourCase{0.5, 0.5, 0.5, 0x00808080u, "HalfRoundsToEven"},
                    ColourCase{2.0, -1.0, kNaN, 0x00FF0000u, "ClampedAndNaN"},
                    ColourCase{1.0, 1.0, 1.0, 0x00FFFFFFu, "White"}, ColourCase{0.0, -0.0, 0.0, 0u, "Black"},
                    ColourCase{0.25, 0.75, 1.0 / 255.0, 0x0040BF01u, "RoundsToNearest"},
                    ColourCase{kInf, -kInf, 1e-300, 0x00FF0000u, "Infinities"},
                    ColourCase{1.0000001, 0.0, 0.0, 0x00FF0000u, "JustAboveOne"}),
    CaseName());

// Every byte's exact value, its halfway points and their neighbours one
// double step away, and a sweep of the whole range: each component rounds as
// roundHalfEven of component × 255 does.
TEST(PackColourTest, EachComponentIsTheProductRoundedHalfToEven) {
    std::vector<double> components;
    for (int b = 0; b <= 255; ++b) {
        for (double v : {b / 255.0, (b + 0.5) / 255.0, (b - 0.5) / 255.0}) {
            components.push_back(v);
            components.push_back(std::nextafter(v, 0.0));
            components.push_back(std::nextafter(v, 2.0));
        }
    }
    for (int k = 0; k <= 1000000; ++k) components.push_back(k / 1000000.0);
    int checked = 0;
    for (double v : components) {
        if (!(v >= 0.0 && v <= 1.0)) continue;
        const uint32_t expected = static_cast<uint32_t>(render::roundHalfEven(v * 255.0));
        ASSERT_EQ(render::packColour(v, 0.0, v), expected * 0x10001u) << "component " << v;
        ASSERT_EQ(render::packColour(0.0, v, 0.0), expected << 8) << "component " << v;
        ++checked;
    }
    EXPECT_GT(checked, 1000000);
}

struct DepthCase {
    double z1;
    uint32_t depth;
    const char* name;
};

class DepthValueTest : public testing::TestWithParam<DepthCase> {};

TEST_P(DepthValueTest, ScalesTruncatesAndLimits) { EXPECT_EQ(render::depthValue(GetParam().z1), GetParam().depth); }

INSTANTIATE_TEST_SUITE_P(Depths, DepthValueTest,
                         testing::Values(DepthCase{0.5, 50000u, "Half"}, DepthCase{40000.0, 4000000000u, "Cap"},
                                         DepthCase{1e9, 4000000000u, "AboveCap"}, DepthCase{-3.0, 0u, "Negative"},
                                         DepthCase{kNaN, 0u, "NaN"}, DepthCase{kInf, 4000000000u, "Infinity"},
                                         DepthCase{0.0, 0u, "Zero"}, DepthCase{0.000015, 1u, "Truncates"},
                                         DepthCase{32768.0, 3276800000u, "PastTheSignBit"}),
                         CaseName());

struct OrderCase {
    int32_t y1, y2, y3;
    int top, middle, bottom;  // vertex numbers 1..3
    const char* name;
};

class OrderByRowTest : public testing::TestWithParam<OrderCase> {};

TEST_P(OrderByRowTest, FollowsTheComparisonCode) {
    const OrderCase& k = GetParam();
    // x carries the vertex number so the renaming can be seen.
    const render::RowOrderedTriangle t = render::orderByRow({1, k.y1}, {2, k.y2}, {3, k.y3});
    EXPECT_EQ(t.a.x, k.top);
    EXPECT_EQ(t.b.x, k.middle);
    EXPECT_EQ(t.c.x, k.bottom);
    EXPECT_LE(t.a.y, t.b.y);
    EXPECT_LE(t.b.y, t.c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, OrderByRowTest,
    testing::Values(OrderCase{1, 2, 3, 1, 2, 3, "Code7"}, OrderCase{3, 2, 1, 3, 2, 1, "Code0"},
                    OrderCase{2, 3, 1, 3, 1, 2, "Code1"}, OrderCase{1, 3, 2, 1, 3, 2, "Code3"},
                    OrderCase{3, 1, 2, 2, 3, 1, "Code4"}, OrderCase{2, 1, 3, 2, 1, 3, "Code6"},
                    OrderCase{5, 5, 5, 1, 2, 3, "AllEqual"}, OrderCase{5, 5, 6, 1, 2, 3, "TopTie"},
                    OrderCase{6, 5, 5, 2, 3, 1, "Vertex1BelowATie"}, OrderCase{5, 6, 5, 1, 3, 2, "Vertices1And3Tie"},
                    OrderCase{6, 6, 5, 3, 1, 2, "BottomTie"}, OrderCase{6, 5, 6, 2, 1, 3, "Vertices1And3TieBelow"},
                    OrderCase{-2147483647 - 1, 2147483647, 0, 1, 3, 2, "Extremes"}),
    CaseName());

}  // namespace
