// AVX2: sixteen pixels a step, the SSE2 variant's arithmetic in both 128-bit
// lanes; one permutation per result puts the lanes' values back in order.
#include "video/yuv_rows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "video/yuv_coefficients.h"

namespace video::yuv {

namespace {

__m256i weights(int32_t r, int32_t g, int32_t b) {
    const int16_t wr = static_cast<int16_t>(r), wg = static_cast<int16_t>(g), wb = static_cast<int16_t>(b);
    return _mm256_setr_epi16(wb, wg, wr, 0, wb, wg, wr, 0, wb, wg, wr, 0, wb, wg, wr, 0);
}

__m256i loadPixels(const uint32_t* pixels) {
    return _mm256_and_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(pixels)),
                            _mm256_set1_epi32(0x00FFFFFF));
}

__m256i pairSums(__m256i first, __m256i second) {
    const __m256 a = _mm256_castsi256_ps(first), b = _mm256_castsi256_ps(second);
    return _mm256_add_epi32(_mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))),
                            _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1))));
}

__m256i scaled(__m256i sums, int32_t offset, int shift) {
    return _mm256_srai_epi32(_mm256_add_epi32(sums, _mm256_set1_epi32(offset)), shift);
}

// Eight pixels' luma, in order: unpacking stays inside each lane, and so do
// the pixels of each lane.
__m256i luma8(__m256i pixels) {
    const __m256i zero = _mm256_setzero_si256(), w = weights(kLumaR, kLumaG, kLumaB);
    return scaled(pairSums(_mm256_madd_epi16(_mm256_unpacklo_epi8(pixels, zero), w),
                           _mm256_madd_epi16(_mm256_unpackhi_epi8(pixels, zero), w)),
                  kLumaOffset, kLumaShift);
}

__m256i chroma8(__m256i blocks0, __m256i blocks1, __m256i w) {
    return scaled(pairSums(_mm256_madd_epi16(blocks0, w), _mm256_madd_epi16(blocks1, w)), kChromaOffset,
                  kChromaShift);
}

// Sixteen values, eight in order in each of `low` and `high`.
void store16(uint8_t* out, __m256i low, __m256i high) {
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), _MM_SHUFFLE(3, 1, 2, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1)));
}

__m256i blockSums(__m256i top, __m256i bottom, bool high) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i column = high ? _mm256_add_epi16(_mm256_unpackhi_epi8(top, zero), _mm256_unpackhi_epi8(bottom, zero))
                                : _mm256_add_epi16(_mm256_unpacklo_epi8(top, zero), _mm256_unpacklo_epi8(bottom, zero));
    return _mm256_add_epi16(column, _mm256_srli_si256(column, 8));
}

// Blocks {0, 1 | 2, 3} of eight pixels per row (lane | lane).
__m256i blocksOf(__m256i top, __m256i bottom) {
    return _mm256_unpacklo_epi64(blockSums(top, bottom, false), blockSums(top, bottom, true));
}

void rowPair420(const uint32_t* row0, const uint32_t* row1, int32_t width, uint8_t* luma0, uint8_t* luma1,
                uint8_t* blue, uint8_t* red) {
    const __m256i blueWeights = weights(kBlueR, kBlueG, kBlueB), redWeights = weights(kRedR, kRedG, kRedB);
    // chroma8 of blocks {0,1|2,3} and {4,5|6,7} yields 0,1,4,5 | 2,3,6,7; packed
    // beside the other plane's, these 32-bit pairs put them back in order.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i top0 = loadPixels(row0 + x), top1 = loadPixels(row0 + x + 8);
        const __m256i bottom0 = loadPixels(row1 + x), bottom1 = loadPixels(row1 + x + 8);
        store16(luma0 + x, luma8(top0), luma8(top1));
        store16(luma1 + x, luma8(bottom0), luma8(bottom1));
        const __m256i blocks0 = blocksOf(top0, bottom0), blocks1 = blocksOf(top1, bottom1);
        const __m256i words = _mm256_permutevar8x32_epi32(
            _mm256_packs_epi32(chroma8(blocks0, blocks1, blueWeights), chroma8(blocks0, blocks1, redWeights)), order);
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(blue + x / 2), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(red + x / 2), _mm_srli_si128(bytes, 8));
    }
    if (x < width)
        kScalarKernels.rowPair420(row0 + x, row1 + x, width - x, luma0 + x, luma1 + x, blue + x / 2, red + x / 2);
}

void row444(const uint32_t* row, int32_t width, uint8_t* luma, uint8_t* blue, uint8_t* red) {
    const __m256i blueWeights = weights(kBlueR, kBlueG, kBlueB), redWeights = weights(kRedR, kRedG, kRedB);
    const __m256i zero = _mm256_setzero_si256();
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i first = loadPixels(row + x), second = loadPixels(row + x + 8);
        store16(luma + x, luma8(first), luma8(second));
        // A pixel of its own is a block of four such pixels.
        const __m256i blocks[4] = {_mm256_slli_epi16(_mm256_unpacklo_epi8(first, zero), 2),
                                   _mm256_slli_epi16(_mm256_unpackhi_epi8(first, zero), 2),
                                   _mm256_slli_epi16(_mm256_unpacklo_epi8(second, zero), 2),
                                   _mm256_slli_epi16(_mm256_unpackhi_epi8(second, zero), 2)};
        store16(blue + x, chroma8(blocks[0], blocks[1], blueWeights), chroma8(blocks[2], blocks[3], blueWeights));
        store16(red + x, chroma8(blocks[0], blocks[1], redWeights), chroma8(blocks[2], blocks[3], redWeights));
    }
    if (x < width) kScalarKernels.row444(row + x, width - x, luma + x, blue + x, red + x);
}

}  // namespace

const RowKernels kAvx2Kernels = {rowPair420, row444};

}  // namespace video::yuv

#endif
