// The stand-in language's built-in functions.
#pragma once

#include <string_view>

#include "standin/bytecode.h"

namespace standin {

enum class FunctionKind : uint8_t {
    Pure,  // f1/f2/f3 by arity; foldable when all arguments are constants
    If,    // if(c, a, b): only the chosen branch is evaluated
    Rand,  // rand(x): uniform in [0, x) from the context's generator
};

struct Function {
    const char* name;
    int arity;
    FunctionKind kind;
    Fn1 f1;
    Fn2 f2;
    Fn3 f3;
};

// The function of that (lower-case) name, or null.
const Function* findFunction(std::string_view lowerName);

constexpr double kPi = 3.14159265358979323846;

}  // namespace standin
