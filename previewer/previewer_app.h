// triangle-render as a function, so tests can run it without a process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace previewer {

enum ExitStatus : int { kExitDone = 0, kExitScriptErrors = 1, kExitBadInput = 2 };

// `args` excludes the program name. The progress bar is drawn on `err` only
// when `errIsTerminal`.
int runPreviewer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

}  // namespace previewer
