// The previewer's preset reader on arbitrary file contents: raw blocks and
// the text form with [init], [frame], [beat] and [triangle] headers.
//
// Checked beyond "no crash": a rejected file leaves the preset untouched and
// gives a one-line reason; an accepted one is a raw block exactly when it
// holds a NUL, a raw block loads as its bytes up to the fourth NUL, and a
// text preset written out again with its four headers reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "previewer/preset_file.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "preset_text_fuzzer: %s\n", what);
    std::abort();
}

previewer::PresetFile marked() {
    previewer::PresetFile preset;
    preset.path = "marked.preset";
    preset.sections = {"i", "f", "b", "t"};
    preset.firstLine = {7, 8, 9, 10};
    return preset;
}

bool sameContent(const previewer::PresetFile& a, const previewer::PresetFile& b) {
    return a.path == b.path && a.sections == b.sections && a.firstLine == b.firstLine && a.rawBlock == b.rawBlock;
}

std::string prefixToFourthNul(const std::string& contents) {
    size_t end = 0;
    for (int nul = 0; nul < 4; ++nul) end = contents.find('\0', end) + 1;
    return contents.substr(0, end);
}

// The sections as a text file; the reader drops each section's final line
// break and then a CR before it, so a section ending in CR cannot come back.
bool asText(const previewer::PresetFile& preset, std::string& text) {
    text.clear();
    for (size_t s = 0; s < preset.sections.size(); ++s) {
        const std::string& section = preset.sections[s];
        if (!section.empty() && section.back() == '\r') return false;
        text += std::string("[") + previewer::kSectionNames[s] + "]\n" + section + "\n";
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string contents(reinterpret_cast<const char*>(data), size);
    previewer::PresetFile preset = marked();
    std::string error;
    if (!previewer::parsePreset(contents, preset, error)) {
        if (!sameContent(preset, marked())) fail("a rejected file changed the preset");
        if (error.empty() || error.find('\n') != std::string::npos) fail("the reason is not one line");
        return 0;
    }
    if (preset.path != "marked.preset") fail("the path was lost");
    const bool hasNul = contents.find('\0') != std::string::npos;
    if (preset.rawBlock != hasNul) fail("raw block and text form confused");
    if (preset.rawBlock) {
        if (preset.block() != prefixToFourthNul(contents)) fail("raw block not taken up to its fourth NUL");
        return 0;
    }

    for (size_t s = 0; s < preset.sections.size(); ++s) {
        if (preset.sections[s].empty() && preset.firstLine[s] == 0) continue;
        if (preset.firstLine[s] < 2) fail("a section starts before the line after its header");
    }
    std::string text;
    if (!asText(preset, text)) return 0;
    previewer::PresetFile again;
    again.path = preset.path;
    if (!previewer::parsePreset(text, again, error)) fail("a text preset written out again is rejected");
    if (again.sections != preset.sections) fail("a text preset written out again reads back differently");
    return 0;
}
