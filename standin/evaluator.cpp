// The stand-in engine's interpreters over a flat instruction array, the top
// of the stack cached in acc. No allocation, no look-ups, no recursion.
#include "standin/evaluator.h"

#include <cmath>
#include <cstring>

#include "standin/music_functions.h"

namespace standin {
namespace {

// Inside [0, kMemorySize) after rounding down; NaN is not.
inline bool inMemory(double index) { return index >= 0.0 && index < kMemorySize; }

}  // namespace

uint64_t seedState(double seed) {
    const double normal = seed + 0.0;  // -0 and 0 seed alike
    uint64_t bits = 0;
    std::memcpy(&bits, &normal, sizeof bits);
    return bits;
}

void sinCos(double x, double* sine, double* cosine) {
#if defined(__GLIBC__) && defined(__x86_64__)
    // glibc's sincos runs the same code as its sin and cos (checked on
    // every value the tests try); elsewhere that is not known, so both run.
    sincos(x, sine, cosine);
#else
    *sine = std::sin(x);
    *cosine = std::cos(x);
#endif
}

double nextUniform(uint64_t* state) {
    // splitmix64, then the top 53 bits as a fraction.
    uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}

// The threaded interpreter: each handler ends in its own indirect jump to
// the next handler (a GNU extension that GCC and Clang share), which the
// processor predicts far better than the one jump of a switch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#ifdef __clang__
#pragma GCC diagnostic ignored "-Wgnu-label-as-value"
#endif
double execute(const Instr* code, double* stack) {
#define STANDIN_LABEL(name) &&L_##name,
    static const void* const kLabels[] = {STANDIN_OPS(STANDIN_LABEL)};
#undef STANDIN_LABEL
    const Instr* ip = code;
    const Instr* in = nullptr;
    double* sp = stack;  // stack[0] takes the (meaningless) acc spilled by the first push
    double acc = 0.0;
    int64_t loopBudget = kRunLoopLimit;
    stack[0] = 0.0;
#define CASE(name) L_##name: in = ip++;
#define NEXT goto* kLabels[static_cast<size_t>(ip->op)]
    NEXT;
#include "standin/evaluator_cases.inc"
#undef CASE
#undef NEXT
}
#pragma GCC diagnostic pop

double executeReference(const Instr* code, double* stack) {
    const Instr* ip = code;
    const Instr* in = nullptr;
    double* sp = stack;
    double acc = 0.0;
    int64_t loopBudget = kRunLoopLimit;
    stack[0] = 0.0;
#define CASE(name) case Op::name: in = ip++;
#define NEXT break
    for (;;) {
        switch (ip->op) {
#include "standin/evaluator_cases.inc"
        }
    }
#undef CASE
#undef NEXT
}

}  // namespace standin
