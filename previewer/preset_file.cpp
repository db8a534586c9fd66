// Text form: a header line "[init]", "[frame]", "[beat]" or "[triangle]" may
// carry spaces or tabs around it and a CR before its LF. The lines after a
// header, up to the next header, are that section's text, each keeping its
// own line break except the last one. Before the first header only blank
// lines and comment lines starting with '#' or "//" are allowed, so a
// headerless script is reported instead of silently drawing nothing. A
// missing section is empty; a repeated or unknown [header] is an error.
#include "previewer/preset_file.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace previewer {

const std::array<const char*, kPresetSections> kSectionNames = {kSections[0].name, kSections[1].name,
                                                                 kSections[2].name, kSections[3].name};

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

std::string trimmed(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const size_t last = line.find_last_not_of(" \t\r\n");
    return line.substr(first, last - first + 1);
}

bool isCommentOrBlank(const std::string& line) {
    const std::string text = trimmed(line);
    return text.empty() || text[0] == '#' || text.compare(0, 2, "//") == 0;
}

// A line that reads "[word]" and nothing else, or an empty name otherwise.
std::string headerName(const std::string& line) {
    const std::string text = trimmed(line);
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') return std::string();
    const std::string name = text.substr(1, text.size() - 2);
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return std::string();
    return name;
}

int sectionIndex(const std::string& name) {
    for (int s = 0; s < kPresetSections; ++s)
        if (name == kSectionNames[static_cast<size_t>(s)]) return s;
    return -1;
}

bool parseRawBlock(const std::string& contents, PresetFile& preset, std::string& error) {
    size_t pos = 0;
    for (int s = 0; s < kPresetSections; ++s) {
        const size_t nul = contents.find('\0', pos);
        if (nul == std::string::npos) {
            error = "a raw preset block needs four NUL-terminated sections, this one has " + std::to_string(s);
            return false;
        }
        preset.sections[static_cast<size_t>(s)] = contents.substr(pos, nul - pos);
        preset.firstLine[static_cast<size_t>(s)] = 0;
        pos = nul + 1;
    }
    preset.rawBlock = true;
    return true;
}

// Drops the line break that ends a section's last line.
void dropFinalLineBreak(std::string& text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
}

bool parseText(const std::string& contents, PresetFile& preset, std::string& error) {
    std::array<bool, kPresetSections> seen{};
    int current = -1;
    int lineNumber = 0;
    size_t pos = contents.compare(0, 3, kUtf8Mark) == 0 ? 3 : 0;
    while (pos < contents.size()) {
        ++lineNumber;
        const size_t newline = contents.find('\n', pos);
        const size_t end = newline == std::string::npos ? contents.size() : newline + 1;
        const std::string line = contents.substr(pos, end - pos);
        pos = end;

        const std::string name = headerName(line);
        if (!name.empty()) {
            const int index = sectionIndex(name);
            if (index < 0) {
                error = "line " + std::to_string(lineNumber) + ": unknown section [" + name +
                        "] (expected [init], [frame], [beat] or [triangle])";
                return false;
            }
            if (seen[static_cast<size_t>(index)]) {
                error = "line " + std::to_string(lineNumber) + ": section [" + name + "] appears twice";
                return false;
            }
            if (current >= 0) dropFinalLineBreak(preset.sections[static_cast<size_t>(current)]);
            seen[static_cast<size_t>(index)] = true;
            current = index;
            preset.firstLine[static_cast<size_t>(index)] = lineNumber + 1;
            continue;
        }
        if (current < 0) {
            if (isCommentOrBlank(line)) continue;
            error = "line " + std::to_string(lineNumber) +
                    ": text before the first section header ([init], [frame], [beat] or [triangle])";
            return false;
        }
        preset.sections[static_cast<size_t>(current)] += line;
    }
    if (current < 0) {
        error = "no section header ([init], [frame], [beat] or [triangle]) and no NUL bytes: not a preset";
        return false;
    }
    dropFinalLineBreak(preset.sections[static_cast<size_t>(current)]);
    preset.rawBlock = false;
    return true;
}

}  // namespace

std::string PresetFile::block() const {
    std::string bytes;
    for (const std::string& text : sections) {
        bytes += text;
        bytes += '\0';
    }
    return bytes;
}

bool parsePreset(const std::string& contents, PresetFile& preset, std::string& error) {
    PresetFile parsed;
    parsed.path = preset.path;
    const bool ok = contents.find('\0') != std::string::npos ? parseRawBlock(contents, parsed, error)
                                                              : parseText(contents, parsed, error);
    if (ok) preset = std::move(parsed);
    return ok;
}

bool readPresetFile(const std::string& path, PresetFile& preset, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        error = path + ": cannot read (" + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = path + ": not a regular file";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = path + ": cannot read (" + std::strerror(errno) + ")";
        return false;
    }
    std::string contents;
    char chunk[1 << 16];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = path + ": read error";
        return false;
    }

    preset.path = path;
    std::string reason;
    if (!parsePreset(contents, preset, reason)) {
        error = path + ": " + reason;
        return false;
    }
    return true;
}

}  // namespace previewer
