// The stand-in engine's compiled form: a flat array of instructions for a
// stack machine whose top value is kept in a register ("acc"). Compiled code
// holds variables by address and functions by pointer, so running it does no
// look-ups and no allocation. Besides the plain stack instructions there are
// fused ones for the common shapes (x = a * k + b, x = k * sin(a), a + k),
// which the emitter makes when it may; each computes exactly what its plain
// sequence computes.
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
#define STANDIN_BINARY_OPS(X)               \
    X(Add, a + b)                           \
    X(Sub, a - b)                           \
    X(Mul, a * b)                           \
    X(Div, a / b)                           \
    X(Mod, std::fmod(a, b))                 \
    X(Pow, std::pow(a, b))                  \
    X(Lt, a < b ? 1.0 : 0.0)                \
    X(Le, a <= b ? 1.0 : 0.0)               \
    X(Ge, a >= b ? 1.0 : 0.0)               \
    X(Gt, a > b ? 1.0 : 0.0)                \
    X(Eq, a == b ? 1.0 : 0.0)               \
    X(Ne, a != b ? 1.0 : 0.0)

// The arithmetic ones, which also combine with a call (k * sin(x)).
#define STANDIN_ARITHMETIC_OPS(X) \
    X(Add, a + b)                 \
    X(Sub, a - b)                 \
    X(Mul, a * b)                 \
    X(Div, a / b)

// Each binary operator comes in kBinaryForms forms, in this order (the
// emitter finds a form by its distance from the plain one):
//   Op         a popped from the stack, b in acc
//   OpK, OpV   a in acc, b the constant k or the variable *var
//   KOp, VOp   a the constant k or the variable *var, b in acc
//   PushVKOp, PushVVOp, PushKVOp: push acc, then acc = a op b with a and b
//              *var and k, *var and *var2, k and *var
//   SetVKOp, SetVVOp, SetKVOp: the same into *dst, the stack untouched
// Those with a call (f1 of *var, the right operand), for the arithmetic ones:
//   PushKCallOp, PushVCallOp: push acc, then acc = k op call(*var2) or *var op call(*var2)
//   SetKCallOp, SetVCallOp: the same into *dst
#define STANDIN_BINARY_FORM_NAMES(X, name)                                                  \
    X(name) X(name##K) X(name##V) X(K##name) X(V##name) X(PushVK##name) X(PushVV##name)      \
    X(PushKV##name) X(SetVK##name) X(SetVV##name) X(SetKV##name)
#define STANDIN_CALL_FORM_NAMES(X, name) X(PushKCall##name) X(PushVCall##name) X(SetKCall##name) X(SetVCall##name)
#define STANDIN_BINARY_NAMES(M, X) \
    M(X, Add) M(X, Sub) M(X, Mul) M(X, Div) M(X, Mod) M(X, Pow) M(X, Lt) M(X, Le) M(X, Ge) M(X, Gt) M(X, Eq) M(X, Ne)
#define STANDIN_ARITHMETIC_NAMES(M, X) M(X, Add) M(X, Sub) M(X, Mul) M(X, Div)
enum BinaryForm : int { kPlain, kK, kV, kKOp, kVOp, kPushVK, kPushVV, kPushKV, kSetVK, kSetVV, kSetKV };
constexpr int kBinaryForms = kSetKV + 1;

// Every instruction, as X(name). "top" is acc, the top of the stack.
#define STANDIN_OPS(X)                                                                             \
    X(End)          /* stop; the result is acc */                                                  \
    X(Const)        /* push k */                                                                   \
    X(Load)         /* push *var */                                                                \
    X(Pop)          /* drop the top value */                                                       \
    X(Store)        /* *var = top (the value stays) */                                             \
    X(StoreDrop)    /* *var = top, then drop it */                                                 \
    X(SetConst)     /* *var = k (no stack change) */                                               \
    X(SetCopy)      /* *dst = *var */                                                              \
    X(Neg)          /* top = -top */                                                               \
    X(Not)          /* top = (top == 0) ? 1 : 0 */                                                 \
    X(ToBool)       /* top = (top != 0) ? 1 : 0  (NaN is true) */                                  \
    STANDIN_BINARY_NAMES(STANDIN_BINARY_FORM_NAMES, X)                                             \
    STANDIN_ARITHMETIC_NAMES(STANDIN_CALL_FORM_NAMES, X)                                           \
    X(PushMulAdd)   /* push acc; acc = *var * k + *var2 */                                         \
    X(SetMulAdd)    /* *dst = *var * k + *var2 */                                                  \
    X(Call1)        /* top = f1(top) */                                                            \
    X(PushCall)     /* push acc; acc = call(*var2) */                                              \
    X(SetCall)      /* *dst = call(*var2) */                                                       \
    X(SinCos)       /* *var = sin(*var2), *dst = cos(*var2), as sin and cos give them */           \
    X(Call2)        /* a = pop; top = f2(a, top) */                                                \
    X(Call3)        /* b = pop, a = pop; top = f3(a, b, top) */                                    \
    X(Rand)         /* top = uniform [0, 1) from *rng, times top */                                \
    X(Jump)         /* go to target */                                                             \
    X(JumpIfFalse)  /* c = pop; if c == 0 go to target */                                          \
    X(AndJump)      /* if top == 0: top = 0, go to target; otherwise pop */                        \
    X(OrJump)       /* if top != 0: top = 1, go to target; otherwise pop */                        \
    X(MemLoad)      /* top = memory[top] (0 outside); memory is var */                             \
    X(MemPeek)      /* push memory[top], keeping the index below it */                             \
    X(MemStore)     /* v = top, i = pop; memory[i] = v when i is inside; top = v */                \
    X(Nip)          /* drop the value below the top */                                             \
    X(RepeatStart)  /* n = top; none to do: top = 0, go to target; else top = n, capped */         \
    X(RepeatNext)   /* the count below the top runs down: pop and go to target while any is left, else nip */ \
    X(WhileStart)   /* push the iteration limit, then 0 (the loop's value so far) */               \
    X(WhileTest)    /* c = pop; c == 0 (or the run's loops spent): go to target; else pop */       \
    X(WhileNext)    /* the limit below the top runs down: go to target while any is left */        \
    X(Srand)        /* *rng = a state made from top (the value stays) */                           \
    X(Music)        /* b = top, a = pop; top = the item target of **frame at (a, b) */

#define STANDIN_DECLARE_OP(name) name,
enum class Op : uint8_t { STANDIN_OPS(STANDIN_DECLARE_OP) };
#undef STANDIN_DECLARE_OP

// One form of the binary operator whose plain form is plain.
constexpr Op binaryForm(Op plain, BinaryForm form) { return static_cast<Op>(static_cast<int>(plain) + form); }

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
    double* var2 = nullptr;  // the second variable operand of the fused forms, the argument of their call
    Fn1 call = nullptr;      // the fused forms' function
    double* dst = nullptr;   // where the Set forms write
};

}  // namespace standin
