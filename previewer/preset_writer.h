// Writing a preset in the readable text form that readPresetFile reads back:
// a header line per section, in block order, each followed by its text.
#pragma once

#include <array>
#include <string>

#include "previewer/preset_file.h"

namespace previewer {

// The text form of four sections. False with a reason in `error` when a
// section cannot be written so that it reads back the same: a line of its
// text that would read as a section header.
bool writePresetText(const std::array<std::string, kPresetSections>& sections, std::string& text,
                     std::string& error);

}  // namespace previewer
