// The stand-in engine's interpreters over a flat instruction array, and the
// arithmetic its instructions share with the functions table.
#pragma once

#include <cstdint>

#include "standin/bytecode.h"

namespace standin {

// Runs code (ending in Op::End) with stack, which must hold at least the
// number of slots the compiler asked for. Returns the final top value (0.0
// when the code leaves none). Each instruction jumps straight to the next
// one's handler.
double execute(const Instr* code, double* stack);

// The same, one switch in a loop: the reference the tests hold execute to.
double executeReference(const Instr* code, double* stack);

// The generator state srand(seed) sets: the same seed, the same numbers.
uint64_t seedState(double seed);

// sin and cos of x, bit for bit what std::sin and std::cos give.
void sinCos(double x, double* sine, double* cosine);

// The next uniform double in [0, 1) from a splitmix64 state.
double nextUniform(uint64_t* state);

}  // namespace standin
