// Builds a Program's instructions, keeps track of the stack depth and applies
// local rewrites on the way: constant folding, operand fusion (x + 2 is one
// instruction once x is loaded), fused forms for the common shapes of
// assignment (x = a * k + b, x = k * sin(a)) and fused stores. Without
// rewrites it emits the plain stack code, the reference the rewrites are
// tested against.
#pragma once

#include <cstddef>
#include <vector>

#include "standin/bytecode.h"
#include "standin/evaluator.h"
#include "standin/functions.h"

namespace standin {

// Compiled code: instructions plus the stack they need, allocated once here.
// The value the code leaves is not kept.
struct Program {
    std::vector<Instr> code;
    std::vector<double> stack;
    std::vector<double> results;  // shared calls' results (call_sharing.h)

    // The code points into results: moved, never copied.
    Program() = default;
    Program(Program&&) = default;
    Program& operator=(Program&&) = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void run() { execute(code.data(), stack.data()); }
};

enum class Rewrites : uint8_t { Apply, None };

class Emitter {
public:
    explicit Emitter(Rewrites rewrites = Rewrites::Apply) : optimize_(rewrites == Rewrites::Apply) {}

    void constant(double k);
    void load(double* var);
    void pop();
    void store(double* var);
    void unary(Op op);             // Neg, Not or ToBool
    void binary(Op op);            // the plain form of a binary operator
    void call(const Function& f, int arity);  // a FunctionKind::Pure function of arity arguments
    void random(uint64_t* state);  // rand(top)

    void srand(uint64_t* state);   // srand(top)
    // b = top, a = pop; top = item at (a, b) of the block in *frame.
    void music(MusicItem item, const MusicFrame* const* frame);

    void memoryLoad(double* base);  // top = base[top]
    // Turns the memoryLoad that must be the last instruction into the element
    // an assignment writes: only its index stays, and with keepValue the
    // element's value is pushed above it (for the compound assignments).
    void memoryTarget(bool keepValue);
    void memoryStore(double* base);  // v = top, i = pop; base[i] = v; top = v

    // An instruction without operands, moving the stack depth by effect.
    void plain(Op op, int effect);

    // Emits a jump whose target is set later by placeLabel; returns its index.
    // effect: the stack change when it falls through.
    size_t jump(Op op);
    size_t jump(Op op, int effect);
    // Makes the jump at jumpIndex go to the next instruction emitted.
    void placeLabel(size_t jumpIndex);
    // The index of the next instruction, as the target of a later backward
    // jump (emitted with jumpBack).
    size_t label();
    void jumpBack(Op op, size_t target, int effect);

    // Removes the Load of var that must be the last instruction (the left
    // side of '=' needs no value).
    void dropTrailingLoad(double* var);

    int depth() const { return depth_; }
    void setDepth(int depth) { depth_ = depth; }
    size_t size() const { return code_.size(); }

    Program finish();

private:
    void append(const Instr& instr, int stackEffect);
    // The instruction `back` places from the end, when no label lies between
    // it and the end (so that it may be rewritten); otherwise null.
    Instr* recent(size_t back = 1);
    bool recentIs(Op op, size_t back = 1);
    void removeLast(size_t count);
    // Evaluates op on constant operands now, with the same interpreter.
    static double fold(const double* operands, size_t count, const Instr& op);
    // After the last instruction became OpK or OpV: folds the leaf that set
    // acc before it (Load or Const) into a Push form, and a * k + b into one.
    void fuseLeftOperand();
    // The last instruction, a Push form, with a left operand of its own in
    // the one before (Const or Load): fused when they make a known shape.
    bool fuseCallOperand(Op op);
    // Store var after a Push form, its value dropped: one Set form.
    bool fuseStatement();

    bool optimize_;

    std::vector<Instr> code_;
    size_t fence_ = 0;  // no rewrite may reach below a label
    int depth_ = 0;
    int maxDepth_ = 0;
};

}  // namespace standin
