// Reading a preset file: either the raw block the effect saves (four
// NUL-terminated sections) or the readable text form with [init], [frame],
// [beat] and [triangle] header lines.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "effect/sections.h"

namespace previewer {

constexpr int kPresetSections = effect::kSectionCount;

// Section names in block order, as written in the headers.
extern const std::array<const char*, kPresetSections> kSectionNames;

struct PresetFile {
    std::string path;
    std::array<std::string, kPresetSections> sections;
    // 1-based line of the file where each section's text starts (text form);
    // 0 for a raw block, whose positions are given within the section.
    std::array<int, kPresetSections> firstLine{};
    bool rawBlock = false;
    // Lines that look like headers but name no section ("line 3: ...").
    std::vector<std::string> warnings;

    // The block the effect loads: each section followed by a NUL.
    std::string block() const;
};

// Decodes file contents (text or raw block, see text_encoding.h). Returns
// false with a one-line reason in `error` when the contents are not a preset.
bool parsePreset(const std::string& contents, PresetFile& preset, std::string& error);

// Reads and decodes a file; the error names the path.
bool readPresetFile(const std::string& path, PresetFile& preset, std::string& error);

// Whether a line of text is a section header; confirms a detected text encoding.
bool hasSectionHeaderLine(const std::string& text);

}  // namespace previewer
