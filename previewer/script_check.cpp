#include "previewer/script_check.h"

#include <regex>

#include "standin/standin_host.h"

namespace previewer {

ScriptCompiler standinCompiler() {
    return [](const std::string& text, ScriptProblem& problem) {
        StandinDiagnostic diagnostic{};
        if (standin_check_script(text.c_str(), &diagnostic) != 0) return true;
        problem.line = diagnostic.line;
        problem.column = diagnostic.column;
        // The message buffer is fixed-size; never trust it to be terminated.
        diagnostic.message[sizeof diagnostic.message - 1] = '\0';
        problem.message = diagnostic.message;
        return false;
    };
}

std::vector<ScriptProblem> findScriptProblems(const PresetFile& preset, const ScriptCompiler& compile) {
    std::vector<ScriptProblem> problems;
    for (int s = 0; s < kPresetSections; ++s) {
        const std::string& text = preset.sections[static_cast<size_t>(s)];
        // An empty section is simply absent, whatever a compiler makes of it.
        if (text.empty()) continue;
        ScriptProblem problem;
        problem.section = s;
        if (!compile(text, problem)) problems.push_back(problem);
    }
    return problems;
}

// A message may point at a second place ("for '(' at 3:7"), counted within
// the section like the fault itself; give it in the file's lines too.
static std::string inFileLines(const std::string& message, int firstLine) {
    static const std::regex place(" at ([0-9]+):([0-9]+)");
    std::string result;
    auto last = message.cbegin();
    for (std::sregex_iterator it(message.begin(), message.end(), place), end; it != end; ++it) {
        const std::smatch& match = *it;
        result.append(last, match[0].first);
        result += " at " + std::to_string(firstLine + std::stoi(match[1].str()) - 1) + ":" + match[2].str();
        last = match[0].second;
    }
    result.append(last, message.cend());
    return result;
}

std::string describeProblem(const PresetFile& preset, const ScriptProblem& problem) {
    const std::string section = std::string("[") + kSectionNames[static_cast<size_t>(problem.section)] + "]";
    const int firstLine = preset.firstLine[static_cast<size_t>(problem.section)];
    // Line 0: the fault is not at a place in the text (a script too large, say).
    if (problem.line <= 0) return preset.path + ": " + section + " " + problem.message;
    if (preset.rawBlock || firstLine <= 0) {
        return preset.path + ": " + section + " line " + std::to_string(problem.line) + ", column " +
               std::to_string(problem.column) + ": " + problem.message;
    }
    return preset.path + ":" + std::to_string(firstLine + problem.line - 1) + ":" + std::to_string(problem.column) +
           ": " + section + " " + inFileLines(problem.message, firstLine);
}

}  // namespace previewer
