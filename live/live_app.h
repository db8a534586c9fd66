// triangle-live as a function: parses the command line, opens the window,
// plays the presets until the window is closed.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace live {

enum ExitStatus : int { kExitDone = 0, kExitBadInput = 2 };

int runLive(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace live
