#include "standin/call_sharing.h"

#include <cstddef>

#include "standin/functions.h"

namespace standin {
namespace {

bool isJump(Op op) {
    return op == Op::Jump || op == Op::JumpIfFalse || op == Op::AndJump || op == Op::OrJump ||
           op == Op::RepeatStart || op == Op::RepeatNext || op == Op::WhileTest || op == Op::WhileNext;
}

// The fused forms that compute in.call(*in.var2).
bool isCallForm(Op op) {
    return op == Op::PushCall || op == Op::SetCall || (op >= Op::PushKCallAdd && op <= Op::SetVCallDiv);
}

// Whether in may change the variable at var (every variable write goes
// through var of these three or through dst; mem never holds variables).
bool writes(const Instr& in, const double* var) {
    if (in.op == Op::Store || in.op == Op::StoreDrop || in.op == Op::SetConst || in.op == Op::SinCos)
        if (in.var == var) return true;
    return in.dst == var;
}

// A call form turned into the form that reads slot instead of calling.
void readSlot(Instr& in, double* slot) {
    static const Op kPlain[] = {Op::Add, Op::Sub, Op::Mul, Op::Div};
    if (in.op == Op::PushCall) {
        in.op = Op::Load;
        in.var = slot;
    } else if (in.op == Op::SetCall) {
        in.op = Op::SetCopy;
        in.var = slot;
    } else {
        const int index = static_cast<int>(in.op) - static_cast<int>(Op::PushKCallAdd);
        const Op plain = kPlain[index / 4];
        switch (index % 4) {
            case 0: in.op = binaryForm(plain, kPushKV); in.var = slot; break;   // k op slot
            case 1: in.op = binaryForm(plain, kPushVV); in.var2 = slot; break;  // var op slot
            case 2: in.op = binaryForm(plain, kSetKV); in.var = slot; break;
            default: in.op = binaryForm(plain, kSetVV); in.var2 = slot; break;
        }
    }
    in.call = nullptr;
}

constexpr size_t kMostRecent = 32;

struct Group {
    const double* argument;
    std::vector<size_t> uses;  // instruction indexes, the first fills the slots
    bool sine = false;         // sin and cos among its calls, or the one function
    bool cosine = false;
    Fn1 call = nullptr;
};

}  // namespace

void shareRepeatedCalls(std::vector<Instr>& code, std::vector<double>& results) {
    static const Fn1 kSin = findFunction("sin")->f1;
    static const Fn1 kCos = findFunction("cos")->f1;
    const auto isSinOrCos = [](Fn1 f) { return f == kSin || f == kCos; };

    std::vector<bool> isTarget(code.size() + 1, false);
    for (const Instr& in : code)
        if (isJump(in.op)) isTarget[static_cast<size_t>(in.target)] = true;

    // Which calls repeat one already made, in straight-line code.
    std::vector<Group> groups;
    std::vector<size_t> open;  // groups whose argument is unchanged since
    for (size_t j = 0; j < code.size(); ++j) {
        const Instr& in = code[j];
        if (isTarget[j]) open.clear();
        if (isCallForm(in.op)) {
            Group* joined = nullptr;
            for (size_t g : open) {
                Group& group = groups[g];
                const bool same = group.call == in.call || (isSinOrCos(group.call) && isSinOrCos(in.call));
                if (group.argument == in.var2 && same) joined = &group;
            }
            if (joined == nullptr) {
                // Only the most recent calls are looked at, so that compiling
                // stays linear in the length of the script.
                if (open.size() == kMostRecent) open.erase(open.begin());
                groups.push_back({in.var2, {}, false, false, in.call});
                open.push_back(groups.size() - 1);
                joined = &groups.back();
            }
            joined->uses.push_back(j);
            joined->sine = joined->sine || in.call == kSin;
            joined->cosine = joined->cosine || in.call == kCos;
        }
        for (size_t k = 0; k < open.size();) {
            if (writes(in, groups[open[k]].argument)) {
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(k));
            } else {
                ++k;
            }
        }
    }

    // Two slots a group (sin and cos), allocated before anything points there.
    size_t shared = 0;
    for (const Group& group : groups) shared += group.uses.size() > 1 ? 1 : 0;
    if (shared == 0) return;
    results.assign(2 * shared, 0.0);
    std::vector<std::vector<Instr>> before(code.size());
    double* slot = results.data();
    for (const Group& group : groups) {
        if (group.uses.size() < 2) continue;
        double* first = slot++;
        double* second = slot++;
        Instr fill;
        fill.var2 = const_cast<double*>(group.argument);
        if (group.sine && group.cosine) {
            fill.op = Op::SinCos;
            fill.var = first;
            fill.dst = second;
        } else {
            fill.op = Op::SetCall;
            fill.call = group.call;
            fill.dst = first;
        }
        before[group.uses.front()].push_back(fill);
        for (size_t use : group.uses) {
            const bool cosine = fill.op == Op::SinCos && code[use].call == kCos;
            readSlot(code[use], cosine ? second : first);
        }
    }

    // Rebuilt with the fills in place; jumps go to what now starts each old instruction.
    std::vector<size_t> newIndex(code.size() + 1);
    std::vector<Instr> rebuilt;
    rebuilt.reserve(code.size() + shared);
    for (size_t j = 0; j < code.size(); ++j) {
        newIndex[j] = rebuilt.size();
        rebuilt.insert(rebuilt.end(), before[j].begin(), before[j].end());
        rebuilt.push_back(code[j]);
    }
    newIndex[code.size()] = rebuilt.size();
    for (Instr& in : rebuilt)
        if (isJump(in.op)) in.target = static_cast<int32_t>(newIndex[static_cast<size_t>(in.target)]);
    code = std::move(rebuilt);
}

}  // namespace standin
