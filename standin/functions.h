// The stand-in language's built-in functions.
#pragma once

#include <string_view>

#include "standin/bytecode.h"

namespace standin {

enum class FunctionKind : uint8_t {
    Pure,  // f1/f2/f3 by arity; foldable when all arguments are constants
    If,    // if(c, a, b): only the chosen branch is evaluated
    Rand,    // rand(x): uniform in [0, x) from the context's generator
    Srand,   // srand(seed): restarts the context's generator
    Repeat,  // repeat(count, body)
    While,   // while(condition, body)
    Music,   // reads the frame's music block; missing arguments are 0
};

struct Function {
    const char* name;
    int minArity;
    int maxArity;
    FunctionKind kind;
    Fn1 f1;  // a Pure function has the ones its arities need
    Fn2 f2;
    Fn3 f3;
    MusicItem item;
};

// The function of that (lower-case) name, or null.
const Function* findFunction(std::string_view lowerName);

constexpr double kPi = 3.14159265358979323846;

}  // namespace standin
