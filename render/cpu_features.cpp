#include "render/cpu_features.h"

#include <cstdint>

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

namespace {

#ifdef RT_HAVE_CPUID
// XGETBV by its bytes, so that no file needs the XSAVE target for it.
uint32_t enabledRegisterState() {
    uint32_t eax = 0, edx = 0;
    __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(eax), "=d"(edx) : "c"(0));
    return eax;
}
#endif

bool probeAvx2() {
#ifdef RT_HAVE_CPUID
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7) return false;
    __cpuid(1, eax, ebx, ecx, edx);
    const unsigned osSavesRegisters = 1u << 27, avx = 1u << 28;
    if ((ecx & osSavesRegisters) == 0 || (ecx & avx) == 0) return false;
    const uint32_t sseAndAvxState = 0x6;
    if ((enabledRegisterState() & sseAndAvxState) != sseAndAvxState) return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return (ebx & (1u << 5)) != 0;
#else
    return false;
#endif
}

}  // namespace

bool processorHasAvx2() {
    static const bool has = probeAvx2();
    return has;
}

bool extendedByteOps() { return g_extendedByteOps; }
void setExtendedByteOps(bool enabled) { g_extendedByteOps = enabled; }

void refreshCpuFlag() { g_extendedByteOps = probeCpuExtensions(); }

}  // namespace render
