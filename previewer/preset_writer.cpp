#include "previewer/preset_writer.h"

#include "previewer/preset_file.h"
#include "previewer/text_encoding.h"

namespace previewer {

bool writePresetText(const std::array<std::string, kPresetSections>& sections, std::string& text,
                     std::string& error) {
    std::string written;
    for (int s = 0; s < kPresetSections; ++s) {
        const std::string& section = sections[static_cast<size_t>(s)];
        if (hasSectionHeaderLine(section)) {
            error = std::string("the ") + kSectionNames[static_cast<size_t>(s)] +
                    " section has a line that reads as a section header";
            return false;
        }
        written += '[';
        written += kSectionNames[static_cast<size_t>(s)];
        written += "]\n";
        // The reader drops the line break that ends a section, so one more
        // goes after the text: a text that ends in its own line break keeps it.
        written += section;
        written += '\n';
    }
    text = std::move(written);
    return true;
}

}  // namespace previewer
