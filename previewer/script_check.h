// Finding the sections of a preset that will not compile, so the tool can
// say where, while the effect itself silently skips them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "previewer/preset_file.h"

namespace previewer {

struct ScriptProblem {
    int section = 0;  // index into kSectionNames
    int line = 1;     // 1-based, within the section's text
    int column = 1;
    std::string message;
};

// Compiles one section's text; on failure fills line, column and message.
using ScriptCompiler = std::function<bool(const std::string& text, ScriptProblem& problem)>;

// The stand-in host's compiler (a scratch context, nothing kept).
ScriptCompiler standinCompiler();

std::vector<ScriptProblem> findScriptProblems(const PresetFile& preset, const ScriptCompiler& compile);

// One line naming the file, section, line, column and message. For the
// text form the line is the file's own line number, so editors can jump to it.
std::string describeProblem(const PresetFile& preset, const ScriptProblem& problem);

}  // namespace previewer
