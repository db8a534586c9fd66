// The stand-in language's parser and compiler: recursive descent over the
// lexer's tokens, emitting instructions as it goes (no syntax tree).
#pragma once

#include "standin/context.h"
#include "standin/emitter.h"
#include "standin/lexer.h"

namespace standin {

constexpr int kMaxNesting = 256;
// Bounds the memory one script may take (16 bytes an instruction).
constexpr size_t kMaxInstructions = size_t{1} << 20;

// Compiles text in context, creating the context's variables it names.
// Throws CompileError when the text is not a valid script (and may throw
// std::bad_alloc). Rewrites::None gives the plain stack code, the reference
// for the tests (run it with executeReference).
Program compile(const char* text, Context& context, Rewrites rewrites = Rewrites::Apply);

}  // namespace standin
