// The colour conversion to Y'CbCr: the scalar rows against the exact BT.709
// values over every 24-bit colour, and each SIMD variant against the scalar
// rows byte for byte, over every colour and at every tail length, with guard
// bytes after each plane row and guard rows after each plane.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "media_tools.h"
#include "video/yuv_conversion.h"

namespace {

using video::yuv::RowKernels;
using video::yuv::Variant;

constexpr uint8_t kGuard = 0xA5;
constexpr int32_t kGuardBytes = 16, kGuardRows = 2;

// The planes of one converted frame, laid out as an encoder's would be but
// with guards around them.
struct Converted {
    std::vector<uint8_t> planes[3];
    int32_t width[3], height[3], stride[3];

    uint8_t at(int plane, int32_t x, int32_t y) const {
        return planes[plane][static_cast<size_t>(y) * stride[plane] + x];
    }
    bool samePixels(const Converted& other) const {
        for (int p = 0; p < 3; ++p)
            for (int32_t y = 0; y < height[p]; ++y)
                for (int32_t x = 0; x < width[p]; ++x)
                    if (at(p, x, y) != other.at(p, x, y)) return false;
        return true;
    }
    bool guardsIntact() const {
        for (int p = 0; p < 3; ++p)
            for (size_t k = 0; k < planes[p].size(); ++k) {
                const int32_t x = static_cast<int32_t>(k % stride[p]), y = static_cast<int32_t>(k / stride[p]);
                if ((x >= width[p] || y >= height[p]) && planes[p][k] != kGuard) return false;
            }
        return true;
    }
};

Converted convert(const RowKernels& kernels, const std::vector<uint32_t>& frame, int32_t stride, int32_t width,
                  int32_t height, bool fullChroma) {
    Converted out;
    const int32_t lumaWidth = fullChroma ? width : (width + 1) & ~1;
    const int32_t lumaHeight = fullChroma ? height : (height + 1) & ~1;
    video::yuv::Planes planes;
    for (int p = 0; p < 3; ++p) {
        out.width[p] = p == 0 || fullChroma ? lumaWidth : lumaWidth / 2;
        out.height[p] = p == 0 || fullChroma ? lumaHeight : lumaHeight / 2;
        out.stride[p] = out.width[p] + kGuardBytes;
        out.planes[p].assign(static_cast<size_t>(out.stride[p]) * (out.height[p] + kGuardRows), kGuard);
        planes.data[p] = out.planes[p].data();
        planes.stride[p] = out.stride[p];
    }
    video::yuv::convertFrame(kernels, frame.data(), stride, width, height, fullChroma, planes);
    return out;
}

// Every 24-bit colour once, 4096 x 4096, under top bytes that must be ignored.
const std::vector<uint32_t>& everyColour() {
    static const std::vector<uint32_t> frame = [] {
        std::vector<uint32_t> pixels(1u << 24);
        for (uint32_t k = 0; k < pixels.size(); ++k) pixels[k] = k | (k * 2654435761u) << 24;
        return pixels;
    }();
    return frame;
}
constexpr int32_t kEverySide = 4096;

// Fixed-point weights may move a value by a few hundredths before it is
// rounded; any larger error is a wrong weight, offset or rounding.
constexpr double kMostError = 0.5 + 0.03;

TEST(YuvConversionScalar, EveryColourRoundsToItsExactValues) {
    const Converted full =
        convert(video::yuv::kScalarKernels, everyColour(), kEverySide, kEverySide, kEverySide, true);
    const Converted half =
        convert(video::yuv::kScalarKernels, everyColour(), kEverySide, kEverySide, kEverySide, false);
    double worst[3] = {0, 0, 0}, worstBlock[2] = {0, 0};
    for (int32_t y = 0; y < kEverySide; ++y) {
        for (int32_t x = 0; x < kEverySide; ++x) {
            const ExactYuv exact = exactYuv(everyColour()[static_cast<size_t>(y) * kEverySide + x]);
            const double values[3] = {exact.luma, exact.blue, exact.red};
            for (int p = 0; p < 3; ++p) worst[p] = std::max(worst[p], std::fabs(full.at(p, x, y) - values[p]));
            ASSERT_EQ(half.at(0, x, y), full.at(0, x, y));
        }
    }
    // A 2x2 block's chroma is the mean of its four pixels' exact values.
    for (int32_t y = 0; y < kEverySide; y += 2) {
        for (int32_t x = 0; x < kEverySide; x += 2) {
            double blue = 0, red = 0;
            for (int32_t k = 0; k < 4; ++k) {
                const ExactYuv exact =
                    exactYuv(everyColour()[static_cast<size_t>(y + k / 2) * kEverySide + x + k % 2]);
                blue += exact.blue / 4;
                red += exact.red / 4;
            }
            worstBlock[0] = std::max(worstBlock[0], std::fabs(half.at(1, x / 2, y / 2) - blue));
            worstBlock[1] = std::max(worstBlock[1], std::fabs(half.at(2, x / 2, y / 2) - red));
        }
    }
    std::printf("largest error: Y' %.4f, Cb %.4f, Cr %.4f; 2x2 Cb %.4f, Cr %.4f\n", worst[0], worst[1], worst[2],
                worstBlock[0], worstBlock[1]);
    for (double error : worst) EXPECT_LE(error, kMostError);
    for (double error : worstBlock) EXPECT_LE(error, kMostError);
}

// An odd side repeats its last column or row: the same planes as the frame
// padded by hand to even sides.
TEST(YuvConversionScalar, OddSidesRepeatTheLastColumnAndRow) {
    std::mt19937 random(7);
    for (const auto& size : {std::pair<int32_t, int32_t>{1, 1}, {3, 2}, {2, 3}, {5, 5}, {17, 9}}) {
        const int32_t width = size.first, height = size.second, evenWidth = (width + 1) & ~1,
                      evenHeight = (height + 1) & ~1;
        std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
        std::vector<uint32_t> even(static_cast<size_t>(evenWidth) * evenHeight);
        for (uint32_t& pixel : frame) pixel = random();
        for (int32_t y = 0; y < evenHeight; ++y)
            for (int32_t x = 0; x < evenWidth; ++x)
                even[static_cast<size_t>(y) * evenWidth + x] =
                    frame[static_cast<size_t>(std::min(y, height - 1)) * width + std::min(x, width - 1)];
        const Converted odd = convert(video::yuv::kScalarKernels, frame, width, width, height, false);
        const Converted padded = convert(video::yuv::kScalarKernels, even, evenWidth, evenWidth, evenHeight, false);
        EXPECT_TRUE(odd.samePixels(padded)) << width << "x" << height;
        EXPECT_TRUE(odd.guardsIntact()) << width << "x" << height;
    }
}

class YuvConversionVariant : public ::testing::TestWithParam<Variant> {
protected:
    void SetUp() override {
        kernels_ = video::yuv::kernelsFor(GetParam());
        if (!kernels_) GTEST_SKIP() << "this processor lacks the variant";
    }
    const RowKernels* kernels_ = nullptr;
};

TEST_P(YuvConversionVariant, MatchesTheScalarRowsOnEveryColour) {
    for (bool fullChroma : {false, true}) {
        const Converted expected =
            convert(video::yuv::kScalarKernels, everyColour(), kEverySide, kEverySide, kEverySide, fullChroma);
        const Converted got = convert(*kernels_, everyColour(), kEverySide, kEverySide, kEverySide, fullChroma);
        EXPECT_TRUE(got.samePixels(expected)) << (fullChroma ? "4:4:4" : "4:2:0");
        EXPECT_TRUE(got.guardsIntact()) << (fullChroma ? "4:4:4" : "4:2:0");
    }
}

// Every width up to three SIMD steps and a tail, odd and even heights, in a
// frame whose rows are longer than its width.
TEST_P(YuvConversionVariant, MatchesTheScalarRowsAtEveryTail) {
    std::mt19937 random(11);
    for (int32_t width = 1; width <= 52; ++width) {
        for (int32_t height : {1, 2, 3, 6}) {
            const int32_t stride = width + 5;
            std::vector<uint32_t> frame(static_cast<size_t>(stride) * height);
            for (uint32_t& pixel : frame) pixel = random();
            for (bool fullChroma : {false, true}) {
                const Converted expected =
                    convert(video::yuv::kScalarKernels, frame, stride, width, height, fullChroma);
                const Converted got = convert(*kernels_, frame, stride, width, height, fullChroma);
                ASSERT_TRUE(got.samePixels(expected))
                    << width << "x" << height << (fullChroma ? " 4:4:4" : " 4:2:0");
                ASSERT_TRUE(got.guardsIntact()) << width << "x" << height << (fullChroma ? " 4:4:4" : " 4:2:0");
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Simd, YuvConversionVariant, ::testing::Values(Variant::Sse2, Variant::Avx2),
                         [](const ::testing::TestParamInfo<Variant>& row) {
                             return std::string(row.param == Variant::Sse2 ? "Sse2" : "Avx2");
                         });

}  // namespace
