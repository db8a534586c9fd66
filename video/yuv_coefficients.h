// BT.709 in limited range (Y' 16-235, Cb and Cr 16-240) as fixed-point
// weights, shared by every variant of the conversion so that all of them give
// the same bytes.
#pragma once

#include <cstdint>

namespace video::yuv {

static constexpr int32_t fixedPoint(double value, int shift) {
    const double scaled = value * static_cast<double>(1 << shift);
    return static_cast<int32_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
}

constexpr double kRedLuma = 0.2126, kBlueLuma = 0.0722, kGreenLuma = 1 - kRedLuma - kBlueLuma;
constexpr double kLumaRange = 219.0 / 255, kChromaRange = 224.0 / 255;
constexpr double kBlueSpan = 2 * (1 - kBlueLuma), kRedSpan = 2 * (1 - kRedLuma);

// Y' = (weights . RGB + kLumaOffset) >> kLumaShift, RGB in 0-255. The weights
// fit the signed 16 bits that the SIMD multiply-adds take.
constexpr int kLumaShift = 15;
constexpr int32_t kLumaR = fixedPoint(kLumaRange * kRedLuma, kLumaShift);
constexpr int32_t kLumaG = fixedPoint(kLumaRange * kGreenLuma, kLumaShift);
constexpr int32_t kLumaB = fixedPoint(kLumaRange * kBlueLuma, kLumaShift);
constexpr int32_t kLumaOffset = (16 << kLumaShift) + (1 << (kLumaShift - 1));

// Cb and Cr of a 2x2 block from the sums of its four pixels' R, G and B
// (0-1020 each): the weights include the division by four. A pixel of its
// own (4:4:4) is a block of four equal pixels.
constexpr int kChromaShift = 16;
static constexpr int32_t chromaWeight(double perPixel) { return fixedPoint(kChromaRange * perPixel / 4, kChromaShift); }
constexpr int32_t kBlueR = chromaWeight(-kRedLuma / kBlueSpan);
constexpr int32_t kBlueG = chromaWeight(-kGreenLuma / kBlueSpan);
constexpr int32_t kBlueB = chromaWeight(0.5);
constexpr int32_t kRedR = chromaWeight(0.5);
constexpr int32_t kRedG = chromaWeight(-kGreenLuma / kRedSpan);
constexpr int32_t kRedB = chromaWeight(-kBlueLuma / kRedSpan);
constexpr int32_t kChromaOffset = (128 << kChromaShift) + (1 << (kChromaShift - 1));

static_assert(kLumaR + kLumaG + kLumaB < 32768 && kBlueB < 32768 && kRedR < 32768,
              "weights must fit signed 16-bit multiply-adds");

}  // namespace video::yuv
