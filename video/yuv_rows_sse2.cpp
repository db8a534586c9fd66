// SSE2: eight pixels a step. Each pixel's B, G, R widen to 16 bits beside a
// cleared fourth byte, so one multiply-add gives B*wB + G*wG and R*wR, and
// two shuffles add those halves for four pixels at once.
#include "video/yuv_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstring>

#include "video/yuv_coefficients.h"

namespace video::yuv {

namespace {

__m128i weights(int32_t r, int32_t g, int32_t b) {
    return _mm_setr_epi16(static_cast<int16_t>(b), static_cast<int16_t>(g), static_cast<int16_t>(r), 0,
                          static_cast<int16_t>(b), static_cast<int16_t>(g), static_cast<int16_t>(r), 0);
}

__m128i loadPixels(const uint32_t* pixels) {
    return _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)), _mm_set1_epi32(0x00FFFFFF));
}

// Four sums from the multiply-adds of elements {0, 1} and {2, 3}.
__m128i pairSums(__m128i first, __m128i second) {
    const __m128 a = _mm_castsi128_ps(first), b = _mm_castsi128_ps(second);
    return _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))),
                         _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1))));
}

__m128i scaled(__m128i sums, int32_t offset, int shift) {
    return _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(offset)), shift);
}

// Four pixels' luma as 32-bit lanes.
__m128i luma4(__m128i pixels) {
    const __m128i zero = _mm_setzero_si128(), w = weights(kLumaR, kLumaG, kLumaB);
    return scaled(pairSums(_mm_madd_epi16(_mm_unpacklo_epi8(pixels, zero), w),
                           _mm_madd_epi16(_mm_unpackhi_epi8(pixels, zero), w)),
                  kLumaOffset, kLumaShift);
}

// Cb or Cr of four blocks, given as 16-bit sums (B, G, R, 0) two to a register.
__m128i chroma4(__m128i blocks01, __m128i blocks23, __m128i w) {
    return scaled(pairSums(_mm_madd_epi16(blocks01, w), _mm_madd_epi16(blocks23, w)), kChromaOffset, kChromaShift);
}

void store8(uint8_t* out, __m128i low, __m128i high) {
    const __m128i words = _mm_packs_epi32(low, high);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}

void store4(uint8_t* out, __m128i values) {
    const __m128i words = _mm_packs_epi32(values, values);
    const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
    std::memcpy(out, &bytes, 4);
}

// The sums of two 2x2 blocks from two pixels of each row: (B, G, R, 0) of
// the first block in the low half, of the second in the high half.
__m128i blockSums(__m128i top, __m128i bottom, bool high) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i column = high ? _mm_add_epi16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero))
                                : _mm_add_epi16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero));
    return _mm_add_epi16(column, _mm_srli_si128(column, 8));
}

void rowPair420(const uint32_t* row0, const uint32_t* row1, int32_t width, uint8_t* luma0, uint8_t* luma1,
                uint8_t* blue, uint8_t* red) {
    const __m128i blueWeights = weights(kBlueR, kBlueG, kBlueB), redWeights = weights(kRedR, kRedG, kRedB);
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i top0 = loadPixels(row0 + x), top1 = loadPixels(row0 + x + 4);
        const __m128i bottom0 = loadPixels(row1 + x), bottom1 = loadPixels(row1 + x + 4);
        store8(luma0 + x, luma4(top0), luma4(top1));
        store8(luma1 + x, luma4(bottom0), luma4(bottom1));
        const __m128i blocks01 = _mm_unpacklo_epi64(blockSums(top0, bottom0, false), blockSums(top0, bottom0, true));
        const __m128i blocks23 = _mm_unpacklo_epi64(blockSums(top1, bottom1, false), blockSums(top1, bottom1, true));
        store4(blue + x / 2, chroma4(blocks01, blocks23, blueWeights));
        store4(red + x / 2, chroma4(blocks01, blocks23, redWeights));
    }
    if (x < width)
        kScalarKernels.rowPair420(row0 + x, row1 + x, width - x, luma0 + x, luma1 + x, blue + x / 2, red + x / 2);
}

void row444(const uint32_t* row, int32_t width, uint8_t* luma, uint8_t* blue, uint8_t* red) {
    const __m128i blueWeights = weights(kBlueR, kBlueG, kBlueB), redWeights = weights(kRedR, kRedG, kRedB);
    const __m128i zero = _mm_setzero_si128();
    int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i first = loadPixels(row + x), second = loadPixels(row + x + 4);
        store8(luma + x, luma4(first), luma4(second));
        // A pixel of its own is a block of four such pixels.
        const __m128i blocks[4] = {
            _mm_slli_epi16(_mm_unpacklo_epi8(first, zero), 2), _mm_slli_epi16(_mm_unpackhi_epi8(first, zero), 2),
            _mm_slli_epi16(_mm_unpacklo_epi8(second, zero), 2), _mm_slli_epi16(_mm_unpackhi_epi8(second, zero), 2)};
        store8(blue + x, chroma4(blocks[0], blocks[1], blueWeights), chroma4(blocks[2], blocks[3], blueWeights));
        store8(red + x, chroma4(blocks[0], blocks[1], redWeights), chroma4(blocks[2], blocks[3], redWeights));
    }
    if (x < width) kScalarKernels.row444(row + x, width - x, luma + x, blue + x, red + x);
}

}  // namespace

const RowKernels kSse2Kernels = {rowPair420, row444};

}  // namespace video::yuv

#endif
