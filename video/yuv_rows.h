// The row kernels of the colour conversion: a scalar reference and SIMD
// variants that give the same bytes. One set is chosen once per encoder.
#pragma once

#include <cstdint>

namespace video::yuv {

struct RowKernels {
    // Two source rows of `width` pixels into two luma rows and one row of Cb
    // and Cr, 4:2:0: an odd width's last pixel stands for two, so the luma
    // rows get width rounded up to even and the chroma rows half of that.
    void (*rowPair420)(const uint32_t* row0, const uint32_t* row1, int32_t width, uint8_t* luma0, uint8_t* luma1,
                       uint8_t* blue, uint8_t* red);
    // One row at full chroma resolution (4:4:4).
    void (*row444)(const uint32_t* row, int32_t width, uint8_t* luma, uint8_t* blue, uint8_t* red);
};

enum class Variant { Scalar, Sse2, Avx2 };

// The variant's kernels, or null when this build or processor lacks it.
const RowKernels* kernelsFor(Variant variant);
// The fastest variant this processor runs.
const RowKernels& bestKernels();

// Each variant's own kernels; a SIMD variant finishes a row's tail with the
// scalar ones.
extern const RowKernels kScalarKernels;
extern const RowKernels kSse2Kernels;
extern const RowKernels kAvx2Kernels;

}  // namespace video::yuv
