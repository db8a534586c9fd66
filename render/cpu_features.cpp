#include "render/cpu_features.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <cpuid.h>
#define RT_HAVE_CPUID 1
#endif

namespace render {
namespace {
bool g_extendedByteOps = false;
}

bool probeCpuExtensions() {
#ifdef RT_HAVE_CPUID
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & (1u << 25)) != 0) return true;
    // __get_cpuid checks the highest extended leaf before reading 0x80000001.
    if (__get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx)) return (edx & (1u << 22)) != 0;
    return false;
#elif defined(__EMSCRIPTEN__)
    // WebAssembly has byte maximum, minimum and rounding average, as every
    // x86 processor the module meets today has: the browser draws like them.
    return true;
#else
    return false;
#endif
}

bool extendedByteOps() { return g_extendedByteOps; }
void setExtendedByteOps(bool enabled) { g_extendedByteOps = enabled; }

void refreshCpuFlag() { g_extendedByteOps = probeCpuExtensions(); }

}  // namespace render
