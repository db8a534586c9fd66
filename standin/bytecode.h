// The stand-in engine's compiled form: a flat array of instructions for a
// stack machine whose top value is kept in a register ("acc"). Compiled code
// holds variables by address and functions by pointer, so running it does no
// look-ups and no allocation.
#pragma once

#include <cstdint>
#include <vector>

#include "standin/music_frame.h"

namespace standin {

// Each of mem and shared holds this many doubles.
constexpr double kMemorySize = 1048576.0;
// One loop call stops after this many iterations...
constexpr double kLoopLimit = 1048576.0;
// ...and all the loops of one run of a code together after this many, so
// that nested loops cannot hang the host either.
constexpr int64_t kRunLoopLimit = int64_t{1} << 22;

// What Op::Music reads from the frame's music block (in Instr::target).
enum class MusicItem : int32_t { Wave, Spectrum, Bass, Mid, Treble, Time, FrameIndex, Tempo };

using Fn1 = double (*)(double);
using Fn2 = double (*)(double, double);
using Fn3 = double (*)(double, double, double);

// Binary operators: name and result for operands a (left) and b (right).
// Each comes in three forms: Op (a popped from the stack, b in acc), OpK (a in
// acc, b the constant k) and OpV (a in acc, b the variable *var).
#define STANDIN_BINARY_OPS(X)               \
    X(Add, a + b)                           \
    X(Sub, a - b)                           \
    X(Mul, a * b)                           \
    X(Div, a / b)                           \
    X(Mod, std::fmod(a, b))                 \
    X(Pow, std::pow(a, b))                  \
    X(Lt, a < b ? 1.0 : 0.0)                \
    X(Le, a <= b ? 1.0 : 0.0)               \
    X(Gt, a > b ? 1.0 : 0.0)                \
    X(Ge, a >= b ? 1.0 : 0.0)               \
    X(Eq, a == b ? 1.0 : 0.0)               \
    X(Ne, a != b ? 1.0 : 0.0)

#define STANDIN_DECLARE_BINARY(name, expr) name, name##K, name##V,

enum class Op : uint8_t {
    End,          // stop; the result is acc
    Const,        // push k
    Load,         // push *var
    Pop,          // drop the top value
    Store,        // *var = top (the value stays)
    StoreDrop,    // *var = top, then drop it
    SetConst,     // *var = k (no stack change)
    Neg,          // top = -top
    Not,          // top = (top == 0) ? 1 : 0
    ToBool,       // top = (top != 0) ? 1 : 0  (NaN is true)
    STANDIN_BINARY_OPS(STANDIN_DECLARE_BINARY)
    Call1,        // top = f1(top)
    Call2,        // a = pop; top = f2(a, top)
    Call3,        // b = pop, a = pop; top = f3(a, b, top)
    Rand,         // top = uniform [0, 1) from *rng, times top
    Jump,         // go to target
    JumpIfFalse,  // c = pop; if c == 0 go to target
    AndJump,      // if top == 0: top = 0, go to target; otherwise pop
    OrJump,       // if top != 0: top = 1, go to target; otherwise pop
    MemLoad,      // top = memory[top] (0 outside); memory is var
    MemPeek,      // push memory[top], keeping the index below it
    MemStore,     // v = top, i = pop; memory[i] = v when i is inside; top = v
    Nip,          // drop the value below the top
    RepeatStart,  // n = top; none to do: top = 0, go to target; else top = n, capped
    RepeatNext,   // the count below the top runs down: pop and go to target while any is left, else nip
    WhileStart,   // push the iteration limit, then 0 (the loop's value so far)
    WhileTest,    // c = pop; c == 0 (or the run's loops spent): go to target; else pop
    WhileNext,    // the limit below the top runs down: go to target while any is left
    Srand,        // *rng = a state made from top (the value stays)
    Music,        // b = top, a = pop; top = the item target of **frame at (a, b)
};

#undef STANDIN_DECLARE_BINARY

struct Instr {
    Op op = Op::End;
    int32_t target = 0;  // instruction index, for the jumps
    double k = 0.0;      // the constant (SetConst uses both k and var)
    union {
        double* var = nullptr;
        uint64_t* rng;
        Fn1 f1;
        Fn2 f2;
        Fn3 f3;
        const MusicFrame* const* frame;
    };
};

// Runs code (ending in Op::End) with stack, which must hold at least the
// number of slots the compiler asked for. Returns the final top value (0.0
// when the code leaves none).
double execute(const Instr* code, double* stack);

// The generator state srand(seed) sets: the same seed, the same numbers.
uint64_t seedState(double seed);

// The next uniform double in [0, 1) from a splitmix64 state.
double nextUniform(uint64_t* state);

}  // namespace standin
