// The span routines in AVX2: aligned blocks of eight pixels, with the head up
// to the first 32-byte boundary and the tail done in the low lanes of 128-bit
// registers, so that short spans stay in vector code.
//
// This file alone is compiled for AVX2 (render/CMakeLists.txt); the rest of
// the module stays SSE2, and the table is bound only when the processor says
// it has AVX2. Everything here is in an unnamed namespace or an intrinsic, and
// no header with inline functions of its own is included: an inline function
// compiled here with AVX2 could otherwise be the copy the linker keeps for
// the whole module.
#include "render/spans_avx2.h"

#if defined(__AVX2__)

#include <immintrin.h>

#include <cstdint>

#include "render/triangle_walk.h"

namespace render {
namespace {

// The same kernel code for both widths: overloads pick the instruction.
__m128i addsU8(__m128i a, __m128i b) { return _mm_adds_epu8(a, b); }
__m256i addsU8(__m256i a, __m256i b) { return _mm256_adds_epu8(a, b); }
__m128i subsU8(__m128i a, __m128i b) { return _mm_subs_epu8(a, b); }
__m256i subsU8(__m256i a, __m256i b) { return _mm256_subs_epu8(a, b); }
__m128i add8(__m128i a, __m128i b) { return _mm_add_epi8(a, b); }
__m256i add8(__m256i a, __m256i b) { return _mm256_add_epi8(a, b); }
__m128i maxU8(__m128i a, __m128i b) { return _mm_max_epu8(a, b); }
__m256i maxU8(__m256i a, __m256i b) { return _mm256_max_epu8(a, b); }
__m128i minU8(__m128i a, __m128i b) { return _mm_min_epu8(a, b); }
__m256i minU8(__m256i a, __m256i b) { return _mm256_min_epu8(a, b); }
__m128i avgU8(__m128i a, __m128i b) { return _mm_avg_epu8(a, b); }
__m256i avgU8(__m256i a, __m256i b) { return _mm256_avg_epu8(a, b); }
__m128i bitXor(__m128i a, __m128i b) { return _mm_xor_si128(a, b); }
__m256i bitXor(__m256i a, __m256i b) { return _mm256_xor_si256(a, b); }
__m128i bitAnd(__m128i a, __m128i b) { return _mm_and_si128(a, b); }
__m256i bitAnd(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
__m128i bitOr(__m128i a, __m128i b) { return _mm_or_si128(a, b); }
__m256i bitOr(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
__m128i wordsRight8(__m128i a) { return _mm_srli_epi16(a, 8); }
__m256i wordsRight8(__m256i a) { return _mm256_srli_epi16(a, 8); }
__m128i wordsRight1(__m128i a) { return _mm_srli_epi16(a, 1); }
__m256i wordsRight1(__m256i a) { return _mm256_srli_epi16(a, 1); }
__m128i wordsLeft8(__m128i a) { return _mm_slli_epi16(a, 8); }
__m256i wordsLeft8(__m256i a) { return _mm256_slli_epi16(a, 8); }
__m128i mulLow16(__m128i a, __m128i b) { return _mm_mullo_epi16(a, b); }
__m256i mulLow16(__m256i a, __m256i b) { return _mm256_mullo_epi16(a, b); }
__m128i mulHighU16(__m128i a, __m128i b) { return _mm_mulhi_epu16(a, b); }
__m256i mulHighU16(__m256i a, __m256i b) { return _mm256_mulhi_epu16(a, b); }
__m128i add16(__m128i a, __m128i b) { return _mm_add_epi16(a, b); }
__m256i add16(__m256i a, __m256i b) { return _mm256_add_epi16(a, b); }
__m128i maxU32(__m128i a, __m128i b) { return _mm_max_epu32(a, b); }
__m256i maxU32(__m256i a, __m256i b) { return _mm256_max_epu32(a, b); }
__m128i equal32(__m128i a, __m128i b) { return _mm_cmpeq_epi32(a, b); }
__m256i equal32(__m256i a, __m256i b) { return _mm256_cmpeq_epi32(a, b); }
__m128i select8(__m128i no, __m128i yes, __m128i mask) { return _mm_blendv_epi8(no, yes, mask); }
__m256i select8(__m256i no, __m256i yes, __m256i mask) { return _mm256_blendv_epi8(no, yes, mask); }

// A triangle constant at either width.
struct Constant {
    explicit Constant(__m256i v) : wide(v), narrow(_mm256_castsi256_si128(v)) {}
    __m128i at(__m128i) const { return narrow; }
    __m256i at(__m256i) const { return wide; }
    __m256i wide;
    __m128i narrow;
};

Constant broadcast32(uint32_t v) { return Constant(_mm256_set1_epi32(static_cast<int>(v))); }
Constant broadcast16(uint32_t v) { return Constant(_mm256_set1_epi16(static_cast<short>(v))); }
// Word lanes holding the even (low) or odd (high) colour byte of each word.
Constant colourBytes(uint32_t colour, int odd, uint32_t scale) {
    const uint32_t low = ((colour >> (odd * 8)) & 0xFFu) * scale;
    const uint32_t high = ((colour >> (16 + odd * 8)) & 0xFFu) * scale;
    return broadcast32(low | (high << 16));
}

struct ColourKernel {
    explicit ColourKernel(const SpanPaint& paint) : c(broadcast32(paint.packedColour)) {}
    const Constant c;
};

struct Additive : ColourKernel {
    using ColourKernel::ColourKernel;
    template <class V> V apply(V d) const { return addsU8(d, c.at(d)); }
};
struct MaximumPlain : ColourKernel {
    using ColourKernel::ColourKernel;
    template <class V> V apply(V d) const { return maxU8(d, c.at(d)); }  // the same bytes as the plain form
};
struct MaximumExtended : MaximumPlain {
    using MaximumPlain::MaximumPlain;
};
struct AveragePlain : ColourKernel {
    using ColourKernel::ColourKernel;
    // (d & c) + ((d ^ c) >> 1), the shift on words with the crossing bit masked off.
    template <class V> V apply(V d) const {
        const V colour = c.at(d);
        return add8(bitAnd(d, colour), bitAnd(wordsRight1(bitXor(d, colour)), sevenBits.at(d)));
    }
    const Constant sevenBits = broadcast32(0x7F7F7F7Fu);
};
struct AverageExtended : ColourKernel {
    using ColourKernel::ColourKernel;
    template <class V> V apply(V d) const { return avgU8(d, c.at(d)); }
};
struct SubtractColour : ColourKernel {
    using ColourKernel::ColourKernel;
    template <class V> V apply(V d) const { return subsU8(d, c.at(d)); }
};
struct SubtractPixel : ColourKernel {
    using ColourKernel::ColourKernel;
    template <class V> V apply(V d) const { return subsU8(c.at(d), d); }
};
struct ExclusiveOr : ColourKernel {
    using ColourKernel::ColourKernel;
    template <class V> V apply(V d) const { return bitXor(d, c.at(d)); }
};
struct MinimumPlain : ColourKernel {
    using ColourKernel::ColourKernel;
    template <class V> V apply(V d) const { return minU8(d, c.at(d)); }
};
struct MinimumExtended : MinimumPlain {
    using MinimumPlain::MinimumPlain;
};

// (d × c) >> 8 without widening: the even byte of each word, moved to the
// word's top, times c through the high half of the product gives the result
// in the low byte; the odd byte times c keeps d × c below 2^16, whose top
// byte is the result already in place.
struct Multiply {
    explicit Multiply(const SpanPaint& paint)
        : even(colourBytes(paint.packedColour, 0, 1)),
          odd(colourBytes(paint.packedColour, 1, 1)),
          highBytes(broadcast32(0xFF00FF00u)) {}
    template <class V> V apply(V d) const {
        const V low = mulHighU16(wordsLeft8(d), even.at(d));
        const V high = bitAnd(mulLow16(wordsRight8(d), odd.at(d)), highBytes.at(d));
        return bitOr(low, high);
    }
    const Constant even, odd, highBytes;
};

// (d × r + c × (255 − r)) >> 8, the sum at most 65025, so no saturation is
// ever needed; even and odd bytes as in Multiply, c × (255 − r) per triangle.
struct WeightedMix {
    explicit WeightedMix(const SpanPaint& paint)
        : ratio(broadcast16(paint.ratio)),
          evenTerm(colourBytes(paint.packedColour, 0, 255u - paint.ratio)),
          oddTerm(colourBytes(paint.packedColour, 1, 255u - paint.ratio)),
          lowBytes(broadcast32(0x00FF00FFu)),
          highBytes(broadcast32(0xFF00FF00u)) {}
    template <class V> V apply(V d) const {
        const V r = ratio.at(d);
        const V low = wordsRight8(add16(mulLow16(bitAnd(d, lowBytes.at(d)), r), evenTerm.at(d)));
        const V high = bitAnd(add16(mulLow16(wordsRight8(d), r), oddTerm.at(d)), highBytes.at(d));
        return bitOr(low, high);
    }
    const Constant ratio, evenTerm, oddTerm, lowBytes, highBytes;
};

// Loads and stores of 1, 2, 4 or 8 pixels; from the 4-pixel blocks on the
// pixels are aligned to their size (16 or 32 bytes).
template <int N> struct Lanes;
template <> struct Lanes<1> {
    using V = __m128i;
    static V load(const uint32_t* p) { return _mm_cvtsi32_si128(static_cast<int>(*p)); }
    static void store(uint32_t* p, V v) { *p = static_cast<uint32_t>(_mm_cvtsi128_si32(v)); }
    static V loadAny(const uint32_t* p) { return load(p); }
    static void storeAny(uint32_t* p, V v) { store(p, v); }
};
template <> struct Lanes<2> {
    using V = __m128i;
    static V load(const uint32_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
    static void store(uint32_t* p, V v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
    static V loadAny(const uint32_t* p) { return load(p); }
    static void storeAny(uint32_t* p, V v) { store(p, v); }
};
template <> struct Lanes<4> {
    using V = __m128i;
    static V load(const uint32_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store(uint32_t* p, V v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }
    static V loadAny(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void storeAny(uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
};
template <> struct Lanes<8> {
    using V = __m256i;
    static V load(const uint32_t* p) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(p)); }
    static void store(uint32_t* p, V v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
    static V loadAny(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void storeAny(uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
};

bool misaligned(const uint32_t* p, uintptr_t bytes) { return (reinterpret_cast<uintptr_t>(p) & (bytes - 1)) != 0; }

// Below this many pixels a span is done in unaligned blocks: aligning first
// costs short spans (small triangles) more in mispredicted branches than the
// unaligned accesses do.
constexpr int32_t kShortSpan = 32;

// Calls step.run<N>(k) over [0, count): single pixels to a 16-byte boundary,
// four to a 32-byte one, then blocks of eight, then what is left in 4, 2, 1.
// Short spans go in unaligned blocks of 8, 4, 2 and 1 (step.runAny<N>).
// Inlined into each span and triangle routine: a call per row costs small
// triangles more than the row's pixels.
template <class Step>
__attribute__((always_inline)) inline void walk(const uint32_t* pixels, int32_t count, const Step& step) {
    int32_t k = 0;
    if (count < kShortSpan) {
        for (; count - k >= 8; k += 8) step.template runAny<8>(k);
        if (count - k >= 4) {
            step.template runAny<4>(k);
            k += 4;
        }
        if (count - k >= 2) {
            step.template runAny<2>(k);
            k += 2;
        }
        if (k < count) step.template runAny<1>(k);
        return;
    }
    for (; k < count && misaligned(pixels + k, 16); ++k) step.template run<1>(k);
    if (count - k >= 4 && misaligned(pixels + k, 32)) {
        step.template run<4>(k);
        k += 4;
    }
    for (; count - k >= 16; k += 16) {
        step.template run<8>(k);
        step.template run<8>(k + 8);
    }
    if (count - k >= 8) {
        step.template run<8>(k);
        k += 8;
    }
    if (count - k >= 4) {
        step.template run<4>(k);
        k += 4;
    }
    if (count - k >= 2) {
        step.template run<2>(k);
        k += 2;
    }
    if (k < count) step.template run<1>(k);
}

template <class Kernel>
struct BlendStep {
    template <int N> void run(int32_t k) const { Lanes<N>::store(pixels + k, kernel.apply(Lanes<N>::load(pixels + k))); }
    template <int N> void runAny(int32_t k) const {
        Lanes<N>::storeAny(pixels + k, kernel.apply(Lanes<N>::loadAny(pixels + k)));
    }
    uint32_t* pixels;
    const Kernel& kernel;
};

template <class Kernel>
__attribute__((always_inline)) inline void blendSpan(uint32_t* pixels, uint32_t*, int32_t count, const SpanPaint& paint) {
    const Kernel kernel(paint);
    walk(pixels, count, BlendStep<Kernel>{pixels, kernel});
}

// A pure fill: nothing is read.
struct FillStep {
    template <int N> void run(int32_t k) const { Lanes<N>::store(pixels + k, colour.at(typename Lanes<N>::V())); }
    template <int N> void runAny(int32_t k) const { Lanes<N>::storeAny(pixels + k, colour.at(typename Lanes<N>::V())); }
    uint32_t* pixels;
    const Constant& colour;
};

void replaceSpan(uint32_t* pixels, uint32_t*, int32_t count, const SpanPaint& paint) {
    const Constant colour = broadcast32(paint.packedColour);
    walk(pixels, count, FillStep{pixels, colour});
}

// Entries not above the depth take the depth and the pixel the colour: the
// new entry is the unsigned maximum of the two, and where that equals the
// depth the colour is drawn.
struct DepthStep {
    template <int N> void run(int32_t k) const { runAny<N>(k); }
    template <int N> void runAny(int32_t k) const {
        using L = Lanes<N>;
        using V = typename L::V;
        const V old = L::loadAny(entries + k);
        const V entry = maxU32(old, depth.at(V()));
        const V draw = equal32(entry, depth.at(V()));
        L::storeAny(entries + k, entry);
        L::storeAny(pixels + k, select8(L::loadAny(pixels + k), colour.at(V()), draw));
    }
    uint32_t* pixels;
    uint32_t* entries;
    const Constant& depth;
    const Constant& colour;
};

void depthReplaceSpan(uint32_t* pixels, uint32_t* entries, int32_t count, const SpanPaint& paint) {
    const Constant depth = broadcast32(paint.depth);
    const Constant colour = broadcast32(paint.packedColour);
    walk(pixels, count, DepthStep{pixels, entries, depth, colour});
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
    table.name = "avx2";
    bind<replaceSpan>(table, PixelOp::Replace);
    bind<blendSpan<Additive>>(table, PixelOp::Additive);
    bind<blendSpan<MaximumPlain>>(table, PixelOp::MaximumPlain);
    bind<blendSpan<MaximumExtended>>(table, PixelOp::MaximumExtended);
    bind<blendSpan<AveragePlain>>(table, PixelOp::AveragePlain);
    bind<blendSpan<AverageExtended>>(table, PixelOp::AverageExtended);
    bind<blendSpan<SubtractColour>>(table, PixelOp::SubtractColour);
    bind<blendSpan<SubtractPixel>>(table, PixelOp::SubtractPixel);
    bind<blendSpan<Multiply>>(table, PixelOp::Multiply);
    bind<blendSpan<WeightedMix>>(table, PixelOp::WeightedMix);
    bind<blendSpan<ExclusiveOr>>(table, PixelOp::ExclusiveOr);
    bind<blendSpan<MinimumPlain>>(table, PixelOp::MinimumPlain);
    bind<blendSpan<MinimumExtended>>(table, PixelOp::MinimumExtended);
    bind<depthReplaceSpan>(table, PixelOp::DepthReplace);
    return table;
}

}  // namespace

const SpanTable* avx2Spans() {
    static const SpanTable table = makeTable();
    return &table;
}

}  // namespace render

#else

namespace render {
const SpanTable* avx2Spans() { return nullptr; }
}  // namespace render

#endif
