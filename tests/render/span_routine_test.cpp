// Each vector span variant against the scalar one: every byte pair in every
// byte and vector position, every short length and alignment, with guard
// words around the span.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "case_name.h"
#include "render/spans_scalar.h"
#include "render/span_table.h"

namespace {

using render::PixelOp;

struct OpCase {
    PixelOp op;
    uint8_t ratio;
    const char* name;
};

const OpCase kOps[] = {
    {PixelOp::Replace, 0, "Replace"},
    {PixelOp::Additive, 0, "Additive"},
    {PixelOp::MaximumPlain, 0, "MaximumPlain"},
    {PixelOp::MaximumExtended, 0, "MaximumExtended"},
    {PixelOp::AveragePlain, 0, "AveragePlain"},
    {PixelOp::AverageExtended, 0, "AverageExtended"},
    {PixelOp::SubtractColour, 0, "SubtractColour"},
    {PixelOp::SubtractPixel, 0, "SubtractPixel"},
    {PixelOp::Multiply, 0, "Multiply"},
    {PixelOp::WeightedMix, 0, "Mix0"},
    {PixelOp::WeightedMix, 1, "Mix1"},
    {PixelOp::WeightedMix, 2, "Mix2"},
    {PixelOp::WeightedMix, 127, "Mix127"},
    {PixelOp::WeightedMix, 128, "Mix128"},
    {PixelOp::WeightedMix, 129, "Mix129"},
    {PixelOp::WeightedMix, 254, "Mix254"},
    {PixelOp::WeightedMix, 255, "Mix255"},
    {PixelOp::ExclusiveOr, 0, "ExclusiveOr"},
    {PixelOp::MinimumPlain, 0, "MinimumPlain"},
    {PixelOp::MinimumExtended, 0, "MinimumExtended"},
    {PixelOp::DepthReplace, 0, "DepthReplace"},
};

struct VariantCase {
    render::SpanVariant variant;
    const char* name;
};

const VariantCase kVariants[] = {{render::SpanVariant::Sse2, "Sse2"}, {render::SpanVariant::Avx2, "Avx2"}};

render::SpanFn scalarSpan(PixelOp op) { return render::scalarSpans().span[static_cast<int>(op)]; }

// Each colour byte is a different one-to-one function of c, so over all c
// every byte of the colour takes every value.
uint32_t colourFor(uint32_t c) {
    return c | ((c ^ 0x55u) << 8) | ((255u - c) << 16) | (((c * 7u) & 0xFFu) << 24);
}

// Pixel i sits at position i % 8 of an eight-lane register (and i % 4 of a
// four-lane one); as i / 8 runs through 0..255 each of its bytes takes every
// value.
constexpr int kEveryByteCount = 2048;
std::vector<uint32_t> everyBytePixels() {
    std::vector<uint32_t> pixels(kEveryByteCount);
    for (uint32_t i = 0; i < pixels.size(); ++i) {
        const uint32_t step = i / 8, position = i % 8;
        uint32_t pixel = 0;
        for (uint32_t lane = 0; lane < 4; ++lane) pixel |= ((step + 67u * lane + 13u * position) & 0xFFu) << (8 * lane);
        pixels[i] = pixel;
    }
    return pixels;
}

class VectorSpanTest : public testing::TestWithParam<std::tuple<VariantCase, OpCase>> {
protected:
    void SetUp() override {
        const VariantCase& variant = std::get<0>(GetParam());
        table_ = render::spansOf(variant.variant);
        if (table_ == nullptr) GTEST_SKIP() << variant.name << " is not available in this build or processor";
    }
    render::SpanFn vectorSpan(PixelOp op) const { return table_->span[static_cast<int>(op)]; }

private:
    const render::SpanTable* table_ = nullptr;
};

TEST_P(VectorSpanTest, EqualsScalarForEveryBytePairInEveryPosition) {
    const OpCase& param = std::get<1>(GetParam());
    const std::vector<uint32_t> start = everyBytePixels();
    // 32-byte aligned, so that every lane of the widest registers is used.
    struct alignas(32) Block {
        uint32_t words[kEveryByteCount];
    };
    static Block scalarPixels, vectorPixels, scalarDepth, vectorDepth;
    int failures = 0;
    for (uint32_t c = 0; c < 256 && failures < 3; ++c) {
        // The depth value sweeps across the entries' range too.
        const uint32_t depthValue = c * 0x01010101u;
        const render::SpanPaint paint = render::makeSpanPaint(colourFor(c), depthValue, param.ratio);
        for (size_t i = 0; i < start.size(); ++i) {
            scalarPixels.words[i] = vectorPixels.words[i] = start[i];
            scalarDepth.words[i] = vectorDepth.words[i] = start[i] * 0x9E3779B1u;
        }
        scalarSpan(param.op)(scalarPixels.words, scalarDepth.words, kEveryByteCount, paint);
        vectorSpan(param.op)(vectorPixels.words, vectorDepth.words, kEveryByteCount, paint);
        for (size_t i = 0; i < start.size(); ++i) {
            if (scalarPixels.words[i] != vectorPixels.words[i] || scalarDepth.words[i] != vectorDepth.words[i]) {
                ADD_FAILURE() << "c=" << c << " pixel " << i << std::hex << " start 0x" << start[i] << " scalar 0x"
                              << scalarPixels.words[i] << " vector 0x" << vectorPixels.words[i];
                ++failures;
                break;
            }
        }
    }
}

// Heads, bodies and tails: lengths 0..72 from each of the eight word offsets
// within a 32-byte block, with guard words on both sides of pixels and
// depth entries.
TEST_P(VectorSpanTest, EqualsScalarForEveryShortLengthAndAlignmentWithoutTouchingGuards) {
    const OpCase& param = std::get<1>(GetParam());
    constexpr int kGuard = 8, kRoom = 88, kMaxLength = 72;
    constexpr uint32_t kGuardWord = 0xDEADBEEFu;
    struct alignas(32) Block {
        uint32_t words[kRoom + 2 * kGuard];
    };
    const render::SpanPaint paint = render::makeSpanPaint(0x00C0FFEEu, 0x80000000u, param.ratio);
    for (int offset = 0; offset < 8; ++offset) {
        for (int length = 0; length <= kMaxLength; ++length) {
            Block scalarPixels, vectorPixels, scalarDepth, vectorDepth;
            for (int i = 0; i < kRoom + 2 * kGuard; ++i) {
                const bool inside = i >= kGuard + offset && i < kGuard + offset + length;
                const uint32_t pixel = inside ? 0x01234567u * static_cast<uint32_t>(i + 1) : kGuardWord;
                const uint32_t entry = inside ? (i % 3 == 0 ? 0x80000001u : 0x7FFFFFFFu + static_cast<uint32_t>(i % 2))
                                              : kGuardWord;
                scalarPixels.words[i] = vectorPixels.words[i] = pixel;
                scalarDepth.words[i] = vectorDepth.words[i] = entry;
            }
            scalarSpan(param.op)(scalarPixels.words + kGuard + offset, scalarDepth.words + kGuard + offset, length, paint);
            vectorSpan(param.op)(vectorPixels.words + kGuard + offset, vectorDepth.words + kGuard + offset, length, paint);
            for (int i = 0; i < kRoom + 2 * kGuard; ++i) {
                ASSERT_EQ(vectorPixels.words[i], scalarPixels.words[i])
                    << "offset " << offset << " length " << length << " word " << i;
                ASSERT_EQ(vectorDepth.words[i], scalarDepth.words[i])
                    << "offset " << offset << " length " << length << " word " << i;
                const bool inside = i >= kGuard + offset && i < kGuard + offset + length;
                if (!inside) {
                    ASSERT_EQ(vectorPixels.words[i], kGuardWord) << "guard word " << i << " was written";
                    ASSERT_EQ(vectorDepth.words[i], kGuardWord) << "depth guard word " << i << " was written";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, VectorSpanTest, testing::Combine(testing::ValuesIn(kVariants), testing::ValuesIn(kOps)),
                         [](const testing::TestParamInfo<std::tuple<VariantCase, OpCase>>& row) {
                             return std::string(std::get<0>(row.param).name) + "_" + std::get<1>(row.param).name;
                         });

// The unsigned depth compare at the edges of the signed range, in every
// vector position.
class VectorDepthSpanTest : public testing::TestWithParam<VariantCase> {};

TEST_P(VectorDepthSpanTest, ComparesUnsignedAcrossTheSignBoundary) {
    const render::SpanTable* table = render::spansOf(GetParam().variant);
    if (table == nullptr) GTEST_SKIP() << GetParam().name << " is not available in this build or processor";
    const render::SpanFn vectorDepthSpan = table->span[static_cast<int>(PixelOp::DepthReplace)];
    const uint32_t values[] = {0u,          1u,          2u,          0x7FFFFFFEu, 0x7FFFFFFFu, 0x80000000u,
                               0x80000001u, 50000u,      3999999999u, 4000000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
    constexpr int kCount = static_cast<int>(sizeof(values) / sizeof(values[0]));
    struct alignas(32) Block {
        uint32_t words[kCount * 8];
    };
    for (uint32_t depth : values) {
        Block scalarPixels, vectorPixels, scalarDepth, vectorDepth;
        // Every entry value in every vector position.
        for (int i = 0; i < kCount * 8; ++i) {
            scalarDepth.words[i] = vectorDepth.words[i] = values[(i / 8 + i % 8) % kCount];
            scalarPixels.words[i] = vectorPixels.words[i] = 0xFF000000u | static_cast<uint32_t>(i);
        }
        const render::SpanPaint paint = render::makeSpanPaint(0x00ABCDEFu, depth, 0);
        scalarSpan(PixelOp::DepthReplace)(scalarPixels.words, scalarDepth.words, kCount * 8, paint);
        vectorDepthSpan(vectorPixels.words, vectorDepth.words, kCount * 8, paint);
        for (int i = 0; i < kCount * 8; ++i) {
            const bool keeps = values[(i / 8 + i % 8) % kCount] > depth;
            EXPECT_EQ(vectorPixels.words[i], keeps ? (0xFF000000u | static_cast<uint32_t>(i)) : 0x00ABCDEFu);
            EXPECT_EQ(vectorPixels.words[i], scalarPixels.words[i]);
            EXPECT_EQ(vectorDepth.words[i], scalarDepth.words[i]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, VectorDepthSpanTest, testing::ValuesIn(kVariants), CaseName());

}  // namespace
