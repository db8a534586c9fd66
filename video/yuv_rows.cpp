#include "video/yuv_rows.h"

#include <initializer_list>

namespace video::yuv {

const RowKernels* kernelsFor(Variant variant) {
    switch (variant) {
    case Variant::Scalar:
        return &kScalarKernels;
    case Variant::Sse2:
#if defined(__SSE2__)
        return &kSse2Kernels;
#else
        return nullptr;
#endif
    case Variant::Avx2:
#if defined(__x86_64__) || defined(__i386__)
        // GCC's probe also asks whether the system saves the 256-bit registers.
        return __builtin_cpu_supports("avx2") ? &kAvx2Kernels : nullptr;
#else
        return nullptr;
#endif
    }
    return nullptr;
}

const RowKernels& bestKernels() {
    for (Variant variant : {Variant::Avx2, Variant::Sse2})
        if (const RowKernels* kernels = kernelsFor(variant)) return *kernels;
    return kScalarKernels;
}

}  // namespace video::yuv
