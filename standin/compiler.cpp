// Grammar, loosest first (see docs/expression-language.md):
//   sequence    := [assignment] { ';' [assignment] }
//   assignment  := conditional [ ('=' | '+=' | '-=' | '*=' | '/=') assignment ]
//   conditional := binary [ '?' assignment ':' assignment ]
//   binary      := unary { op binary }   precedence climbing over
//                  || , && , == != , < <= > >= , + - , * / % , ^ (right)
//   unary       := { '-' | '+' | '!' } primary
//   primary     := number | name | name '(' [assignment {',' assignment}] ')'
//                | ('mem' | 'shared') '[' sequence ']' | '(' sequence ')'
// A name followed by '(' is a function, without it a variable, so that a new
// function never changes what an older script means.
#include "standin/compiler.h"

#include <string>
#include <vector>

#include "standin/functions.h"

namespace standin {
namespace {

// What the caller of a parse function needs to know about the expression
// just compiled: whether it was a bare variable or a memory element (the
// base of its array), which can be assigned.
struct Expr {
    double* variable = nullptr;
    double* memory = nullptr;
};

int precedence(Tok kind) {
    switch (kind) {
        case Tok::OrOr: return 1;
        case Tok::AndAnd: return 2;
        case Tok::EqEq: case Tok::NotEq: return 3;
        case Tok::Less: case Tok::LessEq: case Tok::Greater: case Tok::GreaterEq: return 4;
        case Tok::Plus: case Tok::Minus: return 5;
        case Tok::Star: case Tok::Slash: case Tok::Percent: return 6;
        case Tok::Caret: return 7;
        default: return 0;
    }
}

Op binaryOp(Tok kind) {
    switch (kind) {
        case Tok::Plus: case Tok::PlusAssign: return Op::Add;
        case Tok::Minus: case Tok::MinusAssign: return Op::Sub;
        case Tok::Star: case Tok::StarAssign: return Op::Mul;
        case Tok::Slash: case Tok::SlashAssign: return Op::Div;
        case Tok::Percent: return Op::Mod;
        case Tok::Caret: return Op::Pow;
        case Tok::Less: return Op::Lt;
        case Tok::LessEq: return Op::Le;
        case Tok::Greater: return Op::Gt;
        case Tok::GreaterEq: return Op::Ge;
        case Tok::EqEq: return Op::Eq;
        case Tok::NotEq: return Op::Ne;
        default: return Op::End;
    }
}

bool isAssignment(Tok kind) {
    return kind == Tok::Assign || kind == Tok::PlusAssign || kind == Tok::MinusAssign || kind == Tok::StarAssign ||
           kind == Tok::SlashAssign;
}

class Compiler {
public:
    Compiler(const char* text, Context& context, Rewrites rewrites)
        : lexer_(text), context_(context), emitter_(rewrites) {
        advance();
    }

    Program compileAll() {
        parseSequence();
        if (tok_.kind == Tok::RParen) fail(tok_.pos, "unmatched ')'");
        if (tok_.kind == Tok::RBracket) fail(tok_.pos, "unmatched ']'");
        if (tok_.kind != Tok::End) failExpected("';'");
        checkSize();
        return emitter_.finish();
    }

private:
    // One level of nesting for as long as it lives.
    class Nest {
    public:
        Nest(Compiler& compiler, SourcePos pos) : compiler_(compiler) {
            static_assert(kMaxNesting == 256, "the message names the limit");
            if (++compiler_.nesting_ > kMaxNesting) fail(pos, "nesting deeper than 256");
        }
        ~Nest() { --compiler_.nesting_; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;

    private:
        Compiler& compiler_;
    };

    // The failures build their messages out of line, so that the frames of
    // the recursive parse functions stay small.
    [[noreturn]] [[gnu::noinline]] static void fail(SourcePos pos, const std::string& message) {
        throw CompileError{pos, message};
    }
    [[noreturn]] [[gnu::noinline]] static void fail(SourcePos pos, const char* message) {
        throw CompileError{pos, message};
    }
    // "expected <what>, found <current token>"
    [[noreturn]] [[gnu::noinline]] void failExpected(const char* what) const {
        fail(tok_.pos, std::string("expected ") + what + ", found " + describe(tok_));
    }
    [[noreturn]] [[gnu::noinline]] void failUnclosed(SourcePos open) const {
        failExpected(("')' for '(' at " + std::to_string(open.line) + ":" + std::to_string(open.column)).c_str());
    }
    [[noreturn]] [[gnu::noinline]] void failNotAssignable() const {
        fail(tok_.pos, "left side of '" + std::string(tok_.text) + "' must be a variable");
    }
    [[noreturn]] [[gnu::noinline]] static void failUnknownFunction(const Token& name) {
        fail(name.pos, "unknown function " + describe(name));
    }
    [[noreturn]] [[gnu::noinline]] void failUnclosedIndex(SourcePos open) const {
        failExpected(("']' for '[' at " + std::to_string(open.line) + ":" + std::to_string(open.column)).c_str());
    }
    [[noreturn]] [[gnu::noinline]] static void failArity(const Function& function, const Token& name, int count) {
        std::string takes;
        if (function.maxArity == 0) {
            takes = "no arguments";
        } else if (function.minArity == function.maxArity) {
            takes = std::to_string(function.minArity) + (function.minArity == 1 ? " argument" : " arguments");
        } else {
            takes = std::to_string(function.minArity) + " or " + std::to_string(function.maxArity) + " arguments";
        }
        fail(name.pos, describe(name) + " takes " + takes + ", got " + std::to_string(count));
    }

    void checkSize() const {
        if (emitter_.size() > kMaxInstructions) fail(tok_.pos, "script too large");
    }

    void advance() {
        checkSize();
        tok_ = lexer_.next();
    }

    // Expressions separated by ';', empty ones allowed. Leaves the value of
    // the last one (nothing when there is none).
    bool parseSequence() {
        bool haveValue = false;
        for (;;) {
            if (tok_.kind != Tok::Semicolon && tok_.kind != Tok::RParen && tok_.kind != Tok::RBracket &&
                tok_.kind != Tok::End) {
                if (haveValue) emitter_.pop();
                parseAssignment();
                haveValue = true;
            }
            if (tok_.kind != Tok::Semicolon) return haveValue;
            advance();
        }
    }

    // Right-associative, so a = b = c stores c into b and then into a. Done
    // with a loop rather than recursion, so that chains of any length compile.
    void parseAssignment() {
        struct Pending {
            Expr target;
            Op op;  // the binary operator of a compound assignment, Op::End for '='
        };
        std::vector<Pending> pending;
        for (;;) {
            const Expr left = parseConditional();
            if (!isAssignment(tok_.kind)) break;
            if (left.variable == nullptr && left.memory == nullptr) failNotAssignable();
            const Op op = binaryOp(tok_.kind);
            if (left.memory != nullptr) {
                emitter_.memoryTarget(op != Op::End);
            } else if (op == Op::End) {
                emitter_.dropTrailingLoad(left.variable);
            }
            pending.push_back({left, op});
            advance();
        }
        for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
            if (it->op != Op::End) emitter_.binary(it->op);
            if (it->target.memory != nullptr) {
                emitter_.memoryStore(it->target.memory);
            } else {
                emitter_.store(it->target.variable);
            }
        }
    }

    // Lazy: only the chosen branch runs.
    Expr parseConditional() {
        const Expr condition = parseBinary(1);
        if (tok_.kind != Tok::Question) return condition;
        Nest nest(*this, tok_.pos);
        advance();
        const size_t toElse = emitter_.jump(Op::JumpIfFalse);
        const int depth = emitter_.depth();
        parseAssignment();
        if (tok_.kind != Tok::Colon) failExpected("':'");
        advance();
        const size_t toEnd = emitter_.jump(Op::Jump);
        emitter_.placeLabel(toElse);
        emitter_.setDepth(depth);
        parseAssignment();
        emitter_.placeLabel(toEnd);
        return {};
    }

    // Precedence climbing: operators of precedence minPrecedence and above.
    Expr parseBinary(int minPrecedence) {
        Expr left = parseUnary();
        for (;;) {
            const int prec = precedence(tok_.kind);
            if (prec == 0 || prec < minPrecedence) return left;
            const Token op = tok_;
            advance();
            if (op.kind == Tok::AndAnd || op.kind == Tok::OrOr) {
                const size_t skip = emitter_.jump(op.kind == Tok::AndAnd ? Op::AndJump : Op::OrJump);
                parseBinary(prec + 1);
                emitter_.unary(Op::ToBool);
                emitter_.placeLabel(skip);
            } else if (op.kind == Tok::Caret) {
                Nest nest(*this, op.pos);
                parseBinary(prec);  // right-associative
                emitter_.binary(Op::Pow);
            } else {
                parseBinary(prec + 1);
                emitter_.binary(binaryOp(op.kind));
            }
            left = {};
        }
    }

    // Prefix operators, collected in a loop and applied innermost first.
    Expr parseUnary() {
        std::vector<Op> prefixes;
        bool anyPrefix = false;
        while (tok_.kind == Tok::Minus || tok_.kind == Tok::Plus || tok_.kind == Tok::Bang) {
            if (tok_.kind != Tok::Plus) prefixes.push_back(tok_.kind == Tok::Minus ? Op::Neg : Op::Not);
            anyPrefix = true;
            advance();
        }
        const Expr operand = parsePrimary();
        for (auto it = prefixes.rbegin(); it != prefixes.rend(); ++it) emitter_.unary(*it);
        return anyPrefix ? Expr{} : operand;
    }

    Expr parsePrimary() {
        switch (tok_.kind) {
            case Tok::Number:
                emitter_.constant(tok_.number);
                advance();
                return {};
            case Tok::LParen: {
                const SourcePos open = tok_.pos;
                Nest nest(*this, open);
                advance();
                if (!parseSequence()) failExpected("an expression");
                if (tok_.kind != Tok::RParen) failUnclosed(open);
                advance();
                return {};
            }
            case Tok::Name: return parseName();
            default: failExpected("an expression");
        }
    }

    Expr parseName() {
        const Token nameToken = tok_;
        const std::string name = Context::lowerCase(nameToken.text);
        advance();
        if (tok_.kind == Tok::LParen) {
            const Function* function = findFunction(name);
            if (function == nullptr) failUnknownFunction(nameToken);
            parseCall(*function, nameToken);
            return {};
        }
        if (tok_.kind == Tok::LBracket && (name == "mem" || name == "shared")) {
            double* base = name == "mem" ? context_.memory() : sharedMemory();
            parseIndex();
            emitter_.memoryLoad(base);
            return {nullptr, base};
        }
        if (name == "pi") {
            emitter_.constant(kPi);
            return {};
        }
        double* variable = context_.variable(name);
        emitter_.load(variable);
        return {variable};
    }

    // At '[' after mem or shared: leaves the index.
    void parseIndex() {
        const SourcePos open = tok_.pos;
        Nest nest(*this, open);
        advance();
        if (!parseSequence()) failExpected("an index");
        if (tok_.kind != Tok::RBracket) failUnclosedIndex(open);
        advance();
    }

    // The jumps and labels of the functions that control what runs, placed
    // between their arguments.
    struct Flow {
        size_t jumpA = 0;
        size_t jumpB = 0;
        size_t top = 0;
        int depth = 0;
    };

    void beforeArguments(FunctionKind kind, Flow& flow) {
        if (kind != FunctionKind::While) return;
        // The stack holds the iterations left and the loop's value so far.
        emitter_.plain(Op::WhileStart, +2);
        flow.top = emitter_.label();
    }

    // After argument number count (1-based) of a call of kind.
    void afterArgument(FunctionKind kind, int count, Flow& flow) {
        switch (kind) {
            case FunctionKind::If:
                // if(c, a, b) compiles like c ? a : b.
                if (count == 1) {
                    flow.jumpA = emitter_.jump(Op::JumpIfFalse);
                    flow.depth = emitter_.depth();
                } else if (count == 2) {
                    flow.jumpB = emitter_.jump(Op::Jump);
                    emitter_.placeLabel(flow.jumpA);
                    emitter_.setDepth(flow.depth);
                } else if (count == 3) {
                    emitter_.placeLabel(flow.jumpB);
                }
                break;
            case FunctionKind::Repeat:
                // The count left stays below the body's value; RepeatNext drops
                // that value before going round again.
                if (count == 1) {
                    flow.jumpA = emitter_.jump(Op::RepeatStart, 0);
                    flow.top = emitter_.label();
                } else if (count == 2) {
                    emitter_.jumpBack(Op::RepeatNext, flow.top, -1);
                    emitter_.placeLabel(flow.jumpA);
                }
                break;
            case FunctionKind::While:
                if (count == 1) {
                    flow.jumpA = emitter_.jump(Op::WhileTest, -2);  // going on, it drops the value so far
                } else if (count == 2) {
                    emitter_.jumpBack(Op::WhileNext, flow.top, 0);
                    emitter_.placeLabel(flow.jumpA);
                    emitter_.plain(Op::Nip, -1);
                }
                break;
            default: break;
        }
    }

    // At '(' after the name of function.
    void parseCall(const Function& function, const Token& nameToken) {
        Nest nest(*this, tok_.pos);
        advance();
        int count = 0;
        Flow flow;
        beforeArguments(function.kind, flow);
        if (tok_.kind != Tok::RParen) {
            for (;;) {
                parseAssignment();
                ++count;
                afterArgument(function.kind, count, flow);
                if (tok_.kind != Tok::Comma) break;
                advance();
            }
        }
        if (tok_.kind != Tok::RParen) failExpected("',' or ')'");
        advance();
        if (count < function.minArity || count > function.maxArity) failArity(function, nameToken, count);
        switch (function.kind) {
            case FunctionKind::Pure: emitter_.call(function, count); break;
            case FunctionKind::Rand: emitter_.random(context_.randomState()); break;
            case FunctionKind::Srand: emitter_.srand(context_.randomState()); break;
            case FunctionKind::Music:
                for (int k = count; k < 2; ++k) emitter_.constant(0.0);
                emitter_.music(function.item, context_.frameSlot());
                break;
            default: break;
        }
    }

    Lexer lexer_;
    Context& context_;
    Emitter emitter_;
    Token tok_;
    int nesting_ = 0;
};

}  // namespace

Program compile(const char* text, Context& context, Rewrites rewrites) {
    return Compiler(text, context, rewrites).compileAll();
}

}  // namespace standin
