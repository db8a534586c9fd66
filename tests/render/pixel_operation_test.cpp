// The one-pixel operations, checked byte by byte against the mode table.
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "expected_bytes.h"
#include "render/spans_scalar.h"

namespace {

using render::PixelOp;

uint32_t applyScalar(PixelOp op, uint32_t pixel, uint32_t colour, uint8_t ratio = 0, uint32_t depth = 0) {
    uint32_t entry = 0;
    const render::SpanPaint paint = render::makeSpanPaint(colour, depth, ratio);
    render::scalarSpans().span[static_cast<int>(op)](&pixel, &entry, 1, paint);
    return pixel;
}

struct OpCase {
    PixelOp op;
    uint8_t ratio;
    const char* name;
};

class EveryByteTest : public testing::TestWithParam<OpCase> {};

// Every (pixel byte, colour byte) pair in every byte of the pixel, the top
// byte included; the other bytes carry values of their own so that a carry
// or shift leaking across bytes shows.
TEST_P(EveryByteTest, MatchesTheModeTableInEveryByte) {
    const OpCase& param = GetParam();
    for (int lane = 0; lane < 4; ++lane) {
        const int shift = 8 * lane;
        const uint32_t others = 0xC3A5F00Fu & ~(0xFFu << shift);
        int mismatches = 0;
        for (uint32_t d = 0; d < 256; ++d) {
            for (uint32_t c = 0; c < 256; ++c) {
                const uint32_t pixel = others | (d << shift);
                const uint32_t colour = (0x0000FF80u & ~(0xFFu << shift)) | (c << shift);
                const uint32_t got = applyScalar(param.op, pixel, colour, param.ratio);
                const uint32_t want = expected::pixelResult(param.op, pixel, colour, param.ratio);
                if (got != want && ++mismatches <= 3)
                    ADD_FAILURE() << "lane " << lane << " d=" << d << " c=" << c << std::hex << " got 0x" << got
                                  << " want 0x" << want;
            }
        }
        EXPECT_EQ(mismatches, 0) << "lane " << lane;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EveryByteTest,
    testing::Values(OpCase{PixelOp::Replace, 0, "Replace"}, OpCase{PixelOp::Additive, 0, "Additive"},
                    OpCase{PixelOp::MaximumPlain, 0, "MaximumPlain"},
                    OpCase{PixelOp::MaximumExtended, 0, "MaximumExtended"},
                    OpCase{PixelOp::AveragePlain, 0, "AveragePlain"},
                    OpCase{PixelOp::AverageExtended, 0, "AverageExtended"},
                    OpCase{PixelOp::SubtractColour, 0, "SubtractColour"},
                    OpCase{PixelOp::SubtractPixel, 0, "SubtractPixel"}, OpCase{PixelOp::Multiply, 0, "Multiply"},
                    OpCase{PixelOp::WeightedMix, 0, "Mix0"}, OpCase{PixelOp::WeightedMix, 1, "Mix1"},
                    OpCase{PixelOp::WeightedMix, 128, "Mix128"}, OpCase{PixelOp::WeightedMix, 200, "Mix200"},
                    OpCase{PixelOp::WeightedMix, 255, "Mix255"}, OpCase{PixelOp::ExclusiveOr, 0, "ExclusiveOr"},
                    OpCase{PixelOp::MinimumPlain, 0, "MinimumPlain"},
                    OpCase{PixelOp::MinimumExtended, 0, "MinimumExtended"}),
    CaseName());

struct KnownResult {
    PixelOp op;
    uint32_t pixel;
    uint32_t colour;
    uint8_t ratio;
    uint32_t result;
    const char* name;
};

class KnownResultTest : public testing::TestWithParam<KnownResult> {};

TEST_P(KnownResultTest, GivesTheDocumentedPixel) {
    const KnownResult& k = GetParam();
    EXPECT_EQ(applyScalar(k.op, k.pixel, k.colour, k.ratio), k.result);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, KnownResultTest,
    testing::Values(
        KnownResult{PixelOp::AveragePlain, 0x01, 0x02, 0, 0x01, "AverageRoundsDownInThePlainVariant"},
        KnownResult{PixelOp::AverageExtended, 0x01, 0x02, 0, 0x02, "AverageRoundsUpInTheExtendedVariant"},
        KnownResult{PixelOp::Additive, 200, 100, 0, 255, "AdditiveSaturates"},
        KnownResult{PixelOp::SubtractColour, 100, 200, 0, 0, "SubtractColourStopsAtZero"},
        KnownResult{PixelOp::SubtractPixel, 100, 200, 0, 100, "SubtractPixel"},
        KnownResult{PixelOp::Multiply, 0x80808080u, 0x00FFFFFFu, 0, 0x007F7F7Fu, "MultiplyZeroesTheTopByte"},
        KnownResult{PixelOp::Replace, 0xAB123456u, 0x00FEDCBAu, 0, 0x00FEDCBAu, "ReplaceClearsTheTopByte"},
        KnownResult{PixelOp::Additive, 0xAB000000u, 0x00010203u, 0, 0xAB010203u, "AdditiveKeepsTheTopByte"},
        KnownResult{PixelOp::ExclusiveOr, 0xAB0000FFu, 0x000000F0u, 0, 0xAB00000Fu, "ExclusiveOrKeepsTheTopByte"},
        KnownResult{PixelOp::WeightedMix, 0x00, 0xFF, 128, 126, "MixAtHalfRatio"},
        KnownResult{PixelOp::WeightedMix, 0xFF, 0x00, 255, 254, "MixFullRatioKeepsAlmostThePixel"},
        KnownResult{PixelOp::WeightedMix, 0x00, 0xFF, 0, 254, "MixZeroRatioGivesAlmostTheColour"},
        KnownResult{PixelOp::MaximumPlain, 0x10F0, 0xF010, 0, 0xF0F0, "MaximumPlain"},
        KnownResult{PixelOp::MinimumPlain, 0x10F0, 0xF010, 0, 0x1010, "MinimumPlain"}),
    CaseName());

TEST(DepthReplaceTest, DrawsOnEqualOrGreaterDepthOnly) {
    struct Case {
        uint32_t entry, depth;
        bool draws;
    };
    const Case cases[] = {{0, 0, true},           {5, 6, true},          {6, 5, false},
                          {7, 7, true},           {0x80000000u, 0x7FFFFFFFu, false},
                          {0x7FFFFFFFu, 0x80000000u, true}, {4000000000u, 3999999999u, false},
                          {0xFFFFFFFFu, 4000000000u, false}};
    for (const Case& k : cases) {
        uint32_t pixel = 0xAABBCCDDu;
        uint32_t entry = k.entry;
        const render::SpanPaint paint = render::makeSpanPaint(0x00112233u, k.depth, 0);
        render::scalarSpans().span[static_cast<int>(PixelOp::DepthReplace)](&pixel, &entry, 1, paint);
        EXPECT_EQ(pixel, k.draws ? 0x00112233u : 0xAABBCCDDu) << k.entry << " vs " << k.depth;
        EXPECT_EQ(entry, k.draws ? k.depth : k.entry) << k.entry << " vs " << k.depth;
    }
}

}  // namespace
