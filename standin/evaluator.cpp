// The stand-in engine's interpreter: one switch over a flat instruction array,
// the top of the stack cached in acc. No allocation, no look-ups, no recursion.
#include <cmath>
#include <cstring>

#include "standin/bytecode.h"
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

double nextUniform(uint64_t* state) {
    // splitmix64, then the top 53 bits as a fraction.
    uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);
}

double execute(const Instr* code, double* stack) {
    const Instr* ip = code;
    double* sp = stack;  // stack[0] takes the (meaningless) acc spilled by the first push
    double acc = 0.0;
    int64_t loopBudget = kRunLoopLimit;
    stack[0] = 0.0;
    for (;;) {
        const Instr& in = *ip++;
        switch (in.op) {
            case Op::End: return acc;
            case Op::Const: *++sp = acc; acc = in.k; break;
            case Op::Load: *++sp = acc; acc = *in.var; break;
            case Op::Pop: acc = *sp--; break;
            case Op::Store: *in.var = acc; break;
            case Op::StoreDrop: *in.var = acc; acc = *sp--; break;
            case Op::SetConst: *in.var = in.k; break;
            case Op::Neg: acc = -acc; break;
            case Op::Not: acc = (acc == 0.0) ? 1.0 : 0.0; break;
            case Op::ToBool: acc = (acc != 0.0) ? 1.0 : 0.0; break;

#define STANDIN_BINARY_CASES(name, expr)                      \
    case Op::name: {                                          \
        const double a = *sp--, b = acc;                      \
        acc = (expr);                                         \
        break;                                                \
    }                                                         \
    case Op::name##K: {                                       \
        const double a = acc, b = in.k;                       \
        acc = (expr);                                         \
        break;                                                \
    }                                                         \
    case Op::name##V: {                                       \
        const double a = acc, b = *in.var;                    \
        acc = (expr);                                         \
        break;                                                \
    }
            STANDIN_BINARY_OPS(STANDIN_BINARY_CASES)
#undef STANDIN_BINARY_CASES

            case Op::Call1: acc = in.f1(acc); break;
            case Op::Call2: { const double a = *sp--; acc = in.f2(a, acc); break; }
            case Op::Call3: {
                const double b = *sp--, a = *sp--;
                acc = in.f3(a, b, acc);
                break;
            }
            case Op::Rand: acc = nextUniform(in.rng) * acc; break;
            case Op::Jump: ip = code + in.target; break;
            case Op::JumpIfFalse: {
                const double condition = acc;
                acc = *sp--;
                if (condition == 0.0) ip = code + in.target;
                break;
            }
            case Op::AndJump:
                if (acc == 0.0) { acc = 0.0; ip = code + in.target; } else { acc = *sp--; }
                break;
            case Op::OrJump:
                if (acc != 0.0) { acc = 1.0; ip = code + in.target; } else { acc = *sp--; }
                break;
            case Op::MemLoad:
                acc = inMemory(acc) ? in.var[static_cast<size_t>(acc)] : 0.0;
                break;
            case Op::MemPeek: {
                const double index = acc;
                *++sp = acc;
                acc = inMemory(index) ? in.var[static_cast<size_t>(index)] : 0.0;
                break;
            }
            case Op::MemStore: {
                const double index = *sp--;
                if (inMemory(index)) in.var[static_cast<size_t>(index)] = acc;
                break;
            }
            case Op::Nip: --sp; break;
            case Op::RepeatStart:
                if (!(acc >= 1.0) || loopBudget <= 0) {
                    acc = 0.0;
                    ip = code + in.target;
                } else {
                    acc = acc < kLoopLimit ? std::floor(acc) : kLoopLimit;
                }
                break;
            case Op::RepeatNext:
                --loopBudget;
                if (--*sp > 0.0 && loopBudget > 0) {
                    acc = *sp--;  // the body's value goes, the count is on top again
                    ip = code + in.target;
                } else {
                    --sp;
                }
                break;
            case Op::WhileStart:
                *++sp = acc;
                *++sp = kLoopLimit;
                acc = 0.0;
                break;
            case Op::WhileTest:
                if (acc == 0.0 || loopBudget <= 0) {
                    acc = *sp--;  // the loop's value so far
                    ip = code + in.target;
                } else {
                    acc = sp[-1];  // the iterations left, for the body to push
                    sp -= 2;
                }
                break;
            case Op::WhileNext:
                --loopBudget;
                if (--*sp > 0.0) ip = code + in.target;
                break;
            case Op::Srand: *in.rng = seedState(acc); break;
            case Op::Music: {
                const double a = *sp--;
                acc = musicValue(static_cast<MusicItem>(in.target), *in.frame, a, acc);
                break;
            }
        }
    }
}

}  // namespace standin
