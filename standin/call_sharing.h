// A pass over finished code: a pure function called again on a variable that
// nothing has written since (and with no jump target in between) is called
// once; its result goes to a slot of the program that the calls then read.
// sin and cos of one variable are computed together.
#pragma once

#include <vector>

#include "standin/bytecode.h"

namespace standin {

// Rewrites code in place; results receives the slots (its buffer must not
// move afterwards, as the code points into it).
void shareRepeatedCalls(std::vector<Instr>& code, std::vector<double>& results);

}  // namespace standin
