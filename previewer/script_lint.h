// Warnings for preset authors (--strict): likely slips that still compile.
// A variable the scripts set but never read whose name is one typo away from
// one of the effect's variables ("nn = 3" meant "n = 3"), and an effect
// variable that a script reads before anything has set it.
#pragma once

#include <vector>

#include "previewer/preset_file.h"
#include "previewer/script_check.h"

namespace previewer {

// In the order the sections run on the first frame (init, frame, beat,
// triangle), then by position; sections that do not compile are left out.
std::vector<ScriptProblem> lintPreset(const PresetFile& preset);

}  // namespace previewer
