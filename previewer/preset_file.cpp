// Text form: a header line names a section in brackets, "[init]", "[frame]",
// "[beat]" or "[triangle]", in any case and with spaces allowed inside and
// around the brackets, and may end with a '#' or "//" comment. The lines
// after a header, up to the next header, are that section's text, each
// keeping its own line break except the last one. Before the first header
// only blank lines and comment lines are allowed, so a headerless script is
// reported instead of silently drawing nothing. A missing section is empty; a
// repeated header is an error. A bracketed line that names no section is kept
// as script text, with a warning, since it is most likely a misspelt header.
#include "previewer/preset_file.h"

#include "previewer/text_encoding.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace previewer {

const std::array<const char*, kPresetSections> kSectionNames = {effect::kSections[0].name, effect::kSections[1].name,
                                                                effect::kSections[2].name, effect::kSections[3].name};

namespace {

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

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

int sectionIndex(const std::string& name) {
    for (int s = 0; s < kPresetSections; ++s)
        if (name == kSectionNames[static_cast<size_t>(s)]) return s;
    return -1;
}

struct HeaderLine {
    bool bracketed = false;  // "[...]" with at most a comment after it
    int section = -1;        // which section it names, if any
    std::string written;     // as written, for messages
};

HeaderLine readHeaderLine(const std::string& line) {
    HeaderLine header;
    const std::string text = trimmed(line);
    const size_t close = text.find(']');
    if (text.empty() || text[0] != '[' || close == std::string::npos) return header;
    const std::string after = trimmed(text.substr(close + 1));
    if (!after.empty() && after[0] != '#' && after.compare(0, 2, "//") != 0) return header;
    header.bracketed = true;
    header.written = text.substr(0, close + 1);
    header.section = sectionIndex(lowerCase(trimmed(text.substr(1, close - 1))));
    return header;
}

std::string unknownHeader(int lineNumber, const std::string& written) {
    return "line " + std::to_string(lineNumber) + ": " + written +
           " names no section ([init], [frame], [beat] or [triangle])";
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
    size_t pos = 0;
    while (pos < contents.size()) {
        ++lineNumber;
        const size_t newline = contents.find('\n', pos);
        const size_t end = newline == std::string::npos ? contents.size() : newline + 1;
        const std::string line = contents.substr(pos, end - pos);
        pos = end;

        const HeaderLine header = readHeaderLine(line);
        if (header.section >= 0) {
            const int index = header.section;
            if (seen[static_cast<size_t>(index)]) {
                error = "line " + std::to_string(lineNumber) + ": section " + header.written + " appears twice";
                return false;
            }
            if (current >= 0) dropFinalLineBreak(preset.sections[static_cast<size_t>(current)]);
            seen[static_cast<size_t>(index)] = true;
            current = index;
            preset.firstLine[static_cast<size_t>(index)] = lineNumber + 1;
            continue;
        }
        if (header.bracketed) {
            if (current < 0) {
                error = unknownHeader(lineNumber, header.written);
                return false;
            }
            preset.warnings.push_back(unknownHeader(lineNumber, header.written) + "; kept as script text of [" +
                                      kSectionNames[static_cast<size_t>(current)] + "]");
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

bool hasSectionHeaderLine(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        if (readHeaderLine(text.substr(pos, end - pos)).section >= 0) return true;
        pos = end + 1;
    }
    return false;
}

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
    std::string text;
    bool ok = false;
    switch (decodePresetBytes(contents, text, error)) {
        case PresetBytes::RawBlock:
            ok = parseRawBlock(contents, parsed, error);
            break;
        case PresetBytes::Text:
            ok = parseText(text, parsed, error);
            break;
        case PresetBytes::Unreadable:
            error += "; save it as UTF-8";
            break;
    }
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
