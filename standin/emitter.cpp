#include "standin/emitter.h"

#include <algorithm>
#include <cassert>

namespace standin {
namespace {

Instr make(Op op) {
    Instr instr;
    instr.op = op;
    return instr;
}

// In the Op enum every plain binary operator is followed by its K and V forms.
Op constantForm(Op op) { return static_cast<Op>(static_cast<int>(op) + 1); }
Op variableForm(Op op) { return static_cast<Op>(static_cast<int>(op) + 2); }

bool isComparison(Op op) {
    return op == Op::Lt || op == Op::Le || op == Op::Gt || op == Op::Ge || op == Op::Eq || op == Op::Ne ||
           op == Op::LtK || op == Op::LeK || op == Op::GtK || op == Op::GeK || op == Op::EqK || op == Op::NeK ||
           op == Op::LtV || op == Op::LeV || op == Op::GtV || op == Op::GeV || op == Op::EqV || op == Op::NeV;
}

}  // namespace

void Emitter::append(const Instr& instr, int stackEffect) {
    code_.push_back(instr);
    depth_ += stackEffect;
    maxDepth_ = std::max(maxDepth_, depth_);
}

Instr* Emitter::recent(size_t back) {
    if (code_.size() < fence_ + back) return nullptr;
    return &code_[code_.size() - back];
}

bool Emitter::recentIs(Op op, size_t back) {
    const Instr* instr = recent(back);
    return instr != nullptr && instr->op == op;
}

void Emitter::removeLast(size_t count) { code_.resize(code_.size() - count); }

double Emitter::fold(const double* operands, size_t count, const Instr& op) {
    Instr program[5];
    for (size_t k = 0; k < count; ++k) {
        program[k].op = Op::Const;
        program[k].k = operands[k];
    }
    program[count] = op;
    program[count + 1] = make(Op::End);
    double stack[5];
    return execute(program, stack);
}

void Emitter::constant(double k) {
    Instr instr = make(Op::Const);
    instr.k = k;
    append(instr, +1);
}

void Emitter::load(double* var) {
    Instr instr = make(Op::Load);
    instr.var = var;
    append(instr, +1);
}

void Emitter::store(double* var) {
    Instr instr = make(Op::Store);
    instr.var = var;
    append(instr, 0);
}

void Emitter::pop() {
    if (recentIs(Op::Const) || recentIs(Op::Load)) {
        // A value that is dropped right away needs no computing.
        removeLast(1);
        depth_ -= 1;
    } else if (recentIs(Op::Store) && recentIs(Op::Const, 2)) {
        Instr set = make(Op::SetConst);
        set.var = recent(1)->var;
        set.k = recent(2)->k;
        removeLast(2);
        depth_ -= 1;
        append(set, 0);
    } else if (recentIs(Op::Store)) {
        recent()->op = Op::StoreDrop;
        depth_ -= 1;
    } else {
        append(make(Op::Pop), -1);
    }
}

void Emitter::unary(Op op) {
    if (Instr* last = recent(); last != nullptr && last->op == Op::Const) {
        last->k = fold(&last->k, 1, make(op));
        return;
    }
    if (op == Op::Neg && recentIs(Op::Neg)) {  // -(-x) is x, bit for bit
        removeLast(1);
        return;
    }
    if (op == Op::Not && recentIs(Op::Not)) {
        recent()->op = Op::ToBool;
        return;
    }
    if (op == Op::ToBool) {
        const Instr* last = recent();
        if (last != nullptr && (last->op == Op::Not || last->op == Op::ToBool || isComparison(last->op))) return;
    }
    append(make(op), 0);
}

void Emitter::binary(Op op) {
    if (recentIs(Op::Const) && recentIs(Op::Const, 2)) {
        const double operands[2] = {recent(2)->k, recent(1)->k};
        removeLast(1);
        recent()->k = fold(operands, 2, make(op));
        depth_ -= 1;
    } else if (recentIs(Op::Const)) {
        recent()->op = constantForm(op);
        depth_ -= 1;
    } else if (recentIs(Op::Load)) {
        recent()->op = variableForm(op);
        depth_ -= 1;
    } else {
        append(make(op), -1);
    }
}

void Emitter::call(const Function& f, int arity) {
    Instr instr = make(arity == 1 ? Op::Call1 : (arity == 2 ? Op::Call2 : Op::Call3));
    if (arity == 1) instr.f1 = f.f1;
    if (arity == 2) instr.f2 = f.f2;
    if (arity == 3) instr.f3 = f.f3;
    const size_t count = static_cast<size_t>(arity);
    bool allConstant = true;
    for (size_t back = 1; back <= count; ++back) allConstant = allConstant && recentIs(Op::Const, back);
    if (allConstant) {
        double operands[3];
        for (size_t k = 0; k < count; ++k) operands[k] = recent(count - k)->k;
        removeLast(count - 1);
        recent()->k = fold(operands, count, instr);
        depth_ -= arity - 1;
        return;
    }
    append(instr, 1 - arity);
}

void Emitter::random(uint64_t* state) {
    Instr instr = make(Op::Rand);
    instr.rng = state;
    append(instr, 0);
}

void Emitter::srand(uint64_t* state) {
    Instr instr = make(Op::Srand);
    instr.rng = state;
    append(instr, 0);
}

void Emitter::music(MusicItem item, const MusicFrame* const* frame) {
    Instr instr = make(Op::Music);
    instr.target = static_cast<int32_t>(item);
    instr.frame = frame;
    append(instr, -1);
}

void Emitter::memoryLoad(double* base) {
    Instr instr = make(Op::MemLoad);
    instr.var = base;
    append(instr, 0);
}

void Emitter::memoryTarget(bool keepValue) {
    // The parser reports an element only right after emitting its load.
    assert(!code_.empty() && code_.back().op == Op::MemLoad);
    if (keepValue) {
        code_.back().op = Op::MemPeek;
        depth_ += 1;
        maxDepth_ = std::max(maxDepth_, depth_);
    } else {
        removeLast(1);
    }
    // Nothing may fold the index into what follows.
    fence_ = code_.size();
}

void Emitter::memoryStore(double* base) {
    Instr instr = make(Op::MemStore);
    instr.var = base;
    append(instr, -1);
}

void Emitter::plain(Op op, int effect) { append(make(op), effect); }

size_t Emitter::jump(Op op) {
    return jump(op, op == Op::Jump ? 0 : -1);  // the others pop when they fall through
}

size_t Emitter::jump(Op op, int effect) {
    append(make(op), effect);
    return code_.size() - 1;
}

size_t Emitter::label() {
    fence_ = code_.size();
    return code_.size();
}

void Emitter::jumpBack(Op op, size_t target, int effect) {
    Instr instr = make(op);
    instr.target = static_cast<int32_t>(target);
    append(instr, effect);
    fence_ = code_.size();
}

void Emitter::placeLabel(size_t jumpIndex) {
    code_[jumpIndex].target = static_cast<int32_t>(code_.size());
    fence_ = code_.size();
}

void Emitter::dropTrailingLoad(double* var) {
    // The parser reports a bare variable only right after emitting its Load.
    assert(recentIs(Op::Load) && recent()->var == var);
    (void)var;
    removeLast(1);
    depth_ -= 1;
}

Program Emitter::finish() {
    append(make(Op::End), 0);
    Program program;
    program.code = std::move(code_);
    program.stack.assign(static_cast<size_t>(maxDepth_) + 1, 0.0);
    return program;
}

}  // namespace standin
