#include "standin/emitter.h"

#include <algorithm>
#include <cassert>

#include "standin/call_sharing.h"

namespace standin {
namespace {

Instr make(Op op) {
    Instr instr;
    instr.op = op;
    return instr;
}

using Form = BinaryForm;
Op form(Op plain, Form which) { return binaryForm(plain, which); }
Op constantForm(Op op) { return form(op, kK); }
Op variableForm(Op op) { return form(op, kV); }

bool isBinaryForm(Op op) { return op >= Op::Add && op <= Op::SetKVNe; }
// The plain operator of one of its forms, and which form it is.
Op plainOf(Op op) {
    const int index = static_cast<int>(op) - static_cast<int>(Op::Add);
    return static_cast<Op>(static_cast<int>(Op::Add) + index / kBinaryForms * kBinaryForms);
}
Form formOf(Op op) { return static_cast<Form>((static_cast<int>(op) - static_cast<int>(Op::Add)) % kBinaryForms); }

// A comparison whose result is in acc (0 or 1).
bool isComparison(Op op) {
    if (!isBinaryForm(op) || formOf(op) >= kSetVK) return false;
    const Op plain = plainOf(op);
    return plain == Op::Lt || plain == Op::Le || plain == Op::Gt || plain == Op::Ge || plain == Op::Eq ||
           plain == Op::Ne;
}

// The forms with a call in them, of the arithmetic operators.
Op callForm(Op plain, bool constantLeft) {
    switch (plain) {
        case Op::Add: return constantLeft ? Op::PushKCallAdd : Op::PushVCallAdd;
        case Op::Sub: return constantLeft ? Op::PushKCallSub : Op::PushVCallSub;
        case Op::Mul: return constantLeft ? Op::PushKCallMul : Op::PushVCallMul;
        case Op::Div: return constantLeft ? Op::PushKCallDiv : Op::PushVCallDiv;
        default: return Op::End;
    }
}
bool isPushCallForm(Op op) {
    if (op < Op::PushKCallAdd || op > Op::SetVCallDiv) return false;
    return (static_cast<int>(op) - static_cast<int>(Op::PushKCallAdd)) % 4 < 2;  // PushKCall, PushVCall
}

// An instruction that pushes acc and computes a new one from variables and
// constants alone: it can be dropped when its value is not used, moved after
// a read of a variable, and written straight to a variable.
bool isPushForm(Op op) {
    if (op == Op::Load || op == Op::PushCall || op == Op::PushMulAdd || isPushCallForm(op)) return true;
    return isBinaryForm(op) && formOf(op) >= kPushVK && formOf(op) <= kPushKV;
}

// The Set form of a Push form.
Op setForm(Op push) {
    if (push == Op::Load) return Op::SetCopy;
    if (push == Op::PushCall) return Op::SetCall;
    if (push == Op::PushMulAdd) return Op::SetMulAdd;
    if (isPushCallForm(push)) return static_cast<Op>(static_cast<int>(push) + 2);
    return static_cast<Op>(static_cast<int>(push) + (kSetVK - kPushVK));
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
    if (!optimize_) {
        append(make(Op::Pop), -1);
    } else if (recentIs(Op::Const) || (recent() != nullptr && isPushForm(recent()->op))) {
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
    } else if (fuseStatement()) {
        depth_ -= 1;
    } else if (recentIs(Op::Store)) {
        recent()->op = Op::StoreDrop;
        depth_ -= 1;
    } else {
        append(make(Op::Pop), -1);
    }
}

bool Emitter::fuseStatement() {
    Instr* push = recent(2);
    if (!recentIs(Op::Store) || push == nullptr || !isPushForm(push->op)) return false;
    push->dst = recent(1)->var;
    push->op = setForm(push->op);
    removeLast(1);
    return true;
}

void Emitter::unary(Op op) {
    if (!optimize_) {
        append(make(op), 0);
        return;
    }
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
    if (!optimize_) {
        append(make(op), -1);
    } else if (recentIs(Op::Const) && recentIs(Op::Const, 2)) {
        const double operands[2] = {recent(2)->k, recent(1)->k};
        removeLast(1);
        recent()->k = fold(operands, 2, make(op));
        depth_ -= 1;
    } else if (recentIs(Op::Const)) {
        recent()->op = constantForm(op);
        depth_ -= 1;
        fuseLeftOperand();
    } else if (recentIs(Op::Load)) {
        recent()->op = variableForm(op);
        depth_ -= 1;
        fuseLeftOperand();
    } else if (fuseCallOperand(op)) {
        depth_ -= 1;
    } else {
        append(make(op), -1);
    }
}

void Emitter::fuseLeftOperand() {
    Instr* last = recent(1);
    Instr* left = recent(2);
    if (left == nullptr) return;
    const Op plain = plainOf(last->op);
    const bool constantRight = formOf(last->op) == kK;
    if (left->op == Op::Load) {
        // Load a; op b: push, then a op b.
        left->op = form(plain, constantRight ? kPushVK : kPushVV);
        if (constantRight) {
            left->k = last->k;
        } else {
            left->var2 = last->var;
        }
        removeLast(1);
    } else if (left->op == Op::Const && !constantRight) {
        left->op = form(plain, kPushKV);
        left->var = last->var;
        removeLast(1);
    } else if (left->op == Op::PushVKMul && last->op == Op::AddV) {
        left->op = Op::PushMulAdd;
        left->var2 = last->var;
        removeLast(1);
    }
}

bool Emitter::fuseCallOperand(Op op) {
    Instr* right = recent(1);
    Instr* left = recent(2);
    if (right == nullptr || left == nullptr || !isPushForm(right->op)) return false;
    if (left->op != Op::Const && left->op != Op::Load) return false;
    // The left operand is read after the right one is computed: no Push form
    // writes a variable, so it reads the same.
    const bool constantLeft = left->op == Op::Const;
    const Op fused = right->op == Op::PushCall ? callForm(op, constantLeft) : Op::End;
    if (fused != Op::End) {
        Instr instr = *right;  // call of *var2
        instr.op = fused;
        instr.k = left->k;
        instr.var = constantLeft ? nullptr : left->var;
        removeLast(2);
        code_.push_back(instr);
        return true;
    }
    // left op (right): the right one pushes what acc held before the left.
    Instr binary = make(form(op, constantLeft ? kKOp : kVOp));
    binary.k = left->k;
    binary.var = constantLeft ? nullptr : left->var;
    const Instr moved = *right;
    removeLast(2);
    code_.push_back(moved);
    code_.push_back(binary);
    return true;
}

void Emitter::call(const Function& f, int arity) {
    Instr instr = make(arity == 1 ? Op::Call1 : (arity == 2 ? Op::Call2 : Op::Call3));
    if (arity == 1) instr.f1 = f.f1;
    if (arity == 2) instr.f2 = f.f2;
    if (arity == 3) instr.f3 = f.f3;
    if (!optimize_) {
        append(instr, 1 - arity);
        return;
    }
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
    if (arity == 1 && recentIs(Op::Load)) {
        Instr* load = recent();
        load->op = Op::PushCall;
        load->var2 = load->var;
        load->var = nullptr;
        load->call = f.f1;
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
    // The value left at the end is not kept, so a last assignment fuses too.
    if (optimize_ && fuseStatement()) depth_ -= 1;
    append(make(Op::End), 0);
    Program program;
    if (optimize_) shareRepeatedCalls(code_, program.results);
    program.code = std::move(code_);
    program.stack.assign(static_cast<size_t>(maxDepth_) + 1, 0.0);
    return program;
}

}  // namespace standin
