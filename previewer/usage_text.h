// The --help text of triangle-render.
#pragma once

#include <string>

namespace previewer {

// Its first line names the program and its version.
std::string usageText();

}  // namespace previewer
