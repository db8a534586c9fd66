// The span routines in SSE2: aligned blocks of four pixels, and the head up to
// the first 16-byte boundary and the tail in the low lanes of a register, so
// that short spans, the common case for small triangles, stay in vector code
// too.
#include "render/spans_sse2.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>

#include "render/pixel_ops_scalar.h"
#include "render/triangle_walk.h"

namespace render {
namespace {

__m128i loadPaint(const void* field) { return _mm_load_si128(static_cast<const __m128i*>(field)); }

// Word lanes holding the even (shift 0) or odd (shift 8) colour byte of each
// word, times a scale.
__m128i colourBytes(uint32_t colour, int shift, uint32_t scale) {
    const uint32_t c = colour >> shift;
    return _mm_set1_epi32(static_cast<int>(((c & 0xFFu) * scale) | ((((c >> 16) & 0xFFu) * scale) << 16)));
}

struct ColourKernel {
    explicit ColourKernel(const SpanPaint& paint) : c(loadPaint(paint.colour)) {}
    const __m128i c;
};

struct Replace : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i) const { return c; }
};

struct Additive : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_adds_epu8(d, c); }
};

struct MaximumPlain : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_add_epi8(_mm_subs_epu8(d, c), c); }
};

struct MaximumExtended : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_max_epu8(d, c); }
};

// (d & c) + ((d ^ c) >> 1) is (d + c) >> 1 without a ninth bit; the shift
// runs on words, so the bit crossing in from the next byte is masked off.
struct AveragePlain : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const {
        const __m128i halfDifference = _mm_and_si128(_mm_srli_epi16(_mm_xor_si128(d, c), 1), _mm_set1_epi8(0x7F));
        return _mm_add_epi8(_mm_and_si128(d, c), halfDifference);
    }
};

struct AverageExtended : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_avg_epu8(d, c); }
};

struct SubtractColour : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_subs_epu8(d, c); }
};

struct SubtractPixel : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_subs_epu8(c, d); }
};

// (d × c) >> 8 without widening: the even byte of each word, moved to the
// word's top, times c through the high half of the product lands in the low
// byte; the odd byte times c stays below 2^16 with the result in its top byte.
struct Multiply {
    explicit Multiply(const SpanPaint& paint)
        : even(colourBytes(paint.packedColour, 0, 1)),
          odd(colourBytes(paint.packedColour, 8, 1)),
          highBytes(_mm_set1_epi32(static_cast<int>(0xFF00FF00u))) {}
    __m128i apply(__m128i d) const {
        const __m128i low = _mm_mulhi_epu16(_mm_slli_epi16(d, 8), even);
        const __m128i high = _mm_and_si128(_mm_mullo_epi16(_mm_srli_epi16(d, 8), odd), highBytes);
        return _mm_or_si128(low, high);
    }
    const __m128i even;
    const __m128i odd;
    const __m128i highBytes;
};

// (d × r + c × (255 − r)) >> 8 on even and odd bytes in place; the sum is at
// most 65025, so the reference's saturation never acts.
struct WeightedMix {
    explicit WeightedMix(const SpanPaint& paint)
        : weight(_mm_set1_epi16(static_cast<short>(paint.ratio))),
          evenTerm(colourBytes(paint.packedColour, 0, 255u - paint.ratio)),
          oddTerm(colourBytes(paint.packedColour, 8, 255u - paint.ratio)),
          lowBytes(_mm_set1_epi16(0x00FF)),
          highBytes(_mm_set1_epi32(static_cast<int>(0xFF00FF00u))) {}
    __m128i apply(__m128i d) const {
        const __m128i low = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(d, lowBytes), weight), evenTerm), 8);
        const __m128i high = _mm_and_si128(_mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(d, 8), weight), oddTerm), highBytes);
        return _mm_or_si128(low, high);
    }
    const __m128i weight, evenTerm, oddTerm, lowBytes, highBytes;
};

struct ExclusiveOr : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_xor_si128(d, c); }
};

struct MinimumPlain : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_sub_epi8(d, _mm_subs_epu8(d, c)); }
};

struct MinimumExtended : ColourKernel {
    using ColourKernel::ColourKernel;
    __m128i apply(__m128i d) const { return _mm_min_epu8(d, c); }
};

bool aligned16(const uint32_t* p) { return (reinterpret_cast<uintptr_t>(p) & 15u) == 0; }

__m128i loadOne(const uint32_t* p) { return _mm_cvtsi32_si128(static_cast<int>(*p)); }
void storeOne(uint32_t* p, __m128i v) { *p = static_cast<uint32_t>(_mm_cvtsi128_si32(v)); }
__m128i loadTwo(const uint32_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
void storeTwo(uint32_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
__m128i loadFour(const uint32_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }
void storeFour(uint32_t* p, __m128i v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }

template <class Kernel>
void vectorSpan(uint32_t* pixels, uint32_t*, int32_t count, const SpanPaint& paint) {
    const Kernel kernel(paint);
    int32_t k = 0;
    for (; k < count && !aligned16(pixels + k); ++k) storeOne(pixels + k, kernel.apply(loadOne(pixels + k)));
    // Two blocks per step keep the multiplying modes' two dependency chains busy.
    for (; count - k >= 8; k += 8) {
        const __m128i first = kernel.apply(loadFour(pixels + k));
        const __m128i second = kernel.apply(loadFour(pixels + k + 4));
        storeFour(pixels + k, first);
        storeFour(pixels + k + 4, second);
    }
    if (count - k >= 4) {
        storeFour(pixels + k, kernel.apply(loadFour(pixels + k)));
        k += 4;
    }
    if (count - k >= 2) {
        storeTwo(pixels + k, kernel.apply(loadTwo(pixels + k)));
        k += 2;
    }
    if (k < count) storeOne(pixels + k, kernel.apply(loadOne(pixels + k)));
}

// Entries greater than the depth keep pixel and entry; the unsigned compare
// becomes a signed one once both sides are biased by 2^31. Branch-free: skipping
// the stores where all four lanes agree measured slower.
struct DepthKernel {
    explicit DepthKernel(const SpanPaint& paint)
        : bias(_mm_set1_epi32(static_cast<int32_t>(0x80000000u))),
          biasedDepth(loadPaint(paint.biasedDepth)),
          depth(_mm_xor_si128(biasedDepth, bias)),
          colour(loadPaint(paint.colour)) {}

    void apply(uint32_t* pixels, uint32_t* entries) const {
        __m128i* pixelsAt = reinterpret_cast<__m128i*>(pixels);
        __m128i* entriesAt = reinterpret_cast<__m128i*>(entries);
        const __m128i old = _mm_loadu_si128(entriesAt);
        const __m128i keep = _mm_cmpgt_epi32(_mm_xor_si128(old, bias), biasedDepth);
        const __m128i pixelsBefore = _mm_load_si128(pixelsAt);
        _mm_store_si128(pixelsAt, _mm_or_si128(_mm_and_si128(keep, pixelsBefore), _mm_andnot_si128(keep, colour)));
        _mm_storeu_si128(entriesAt, _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, depth)));
    }

    const __m128i bias;
    const __m128i biasedDepth;
    const __m128i depth;
    const __m128i colour;
};

void depthReplaceSpan(uint32_t* pixels, uint32_t* depth, int32_t count, const SpanPaint& paint) {
    int32_t k = 0;
    for (; k < count && !aligned16(pixels + k); ++k)
        scalar::depthReplace(pixels[k], depth[k], paint.packedColour, paint.depth);
    const DepthKernel kernel(paint);
    for (; count - k >= 8; k += 8) {
        kernel.apply(pixels + k, depth + k);
        kernel.apply(pixels + k + 4, depth + k + 4);
    }
    if (count - k >= 4) {
        kernel.apply(pixels + k, depth + k);
        k += 4;
    }
    for (; k < count; ++k) scalar::depthReplace(pixels[k], depth[k], paint.packedColour, paint.depth);
}

// The span as a constant, so that the row walk calls it directly.
template <SpanFn Span>
void triangleOf(const FillTarget& target, const RowOrderedTriangle& triangle, const SpanPaint& paint) {
    walkTriangle(target, triangle, [&paint](uint32_t* pixels, uint32_t* depth, int32_t count)
                                       __attribute__((always_inline)) { Span(pixels, depth, count, paint); });
}

template <SpanFn Span>
void bind(SpanTable& table, PixelOp op) {
    table.span[static_cast<int>(op)] = Span;
    table.triangle[static_cast<int>(op)] = triangleOf<Span>;
}

SpanTable makeTable() {
    SpanTable table = {};
    table.name = "sse2";
    bind<vectorSpan<Replace>>(table, PixelOp::Replace);
    bind<vectorSpan<Additive>>(table, PixelOp::Additive);
    bind<vectorSpan<MaximumPlain>>(table, PixelOp::MaximumPlain);
    bind<vectorSpan<MaximumExtended>>(table, PixelOp::MaximumExtended);
    bind<vectorSpan<AveragePlain>>(table, PixelOp::AveragePlain);
    bind<vectorSpan<AverageExtended>>(table, PixelOp::AverageExtended);
    bind<vectorSpan<SubtractColour>>(table, PixelOp::SubtractColour);
    bind<vectorSpan<SubtractPixel>>(table, PixelOp::SubtractPixel);
    bind<vectorSpan<Multiply>>(table, PixelOp::Multiply);
    bind<vectorSpan<WeightedMix>>(table, PixelOp::WeightedMix);
    bind<vectorSpan<ExclusiveOr>>(table, PixelOp::ExclusiveOr);
    bind<vectorSpan<MinimumPlain>>(table, PixelOp::MinimumPlain);
    bind<vectorSpan<MinimumExtended>>(table, PixelOp::MinimumExtended);
    bind<depthReplaceSpan>(table, PixelOp::DepthReplace);
    return table;
}

}  // namespace

const SpanTable* sse2Spans() {
    static const SpanTable table = makeTable();
    return &table;
}

}  // namespace render

#else

namespace render {
const SpanTable* sse2Spans() { return nullptr; }
}  // namespace render

#endif
