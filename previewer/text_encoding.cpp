#include "previewer/text_encoding.h"

#include <cstdint>

#include "previewer/preset_file.h"

namespace previewer {

namespace {

struct Encoding {
    const char* name;
    int unitBytes;  // 2 or 4
    bool bigEndian;
    const char* mark;
    size_t markBytes;
};

// UTF-32 first: its little-endian mark starts with UTF-16's.
const Encoding kEncodings[] = {
    {"UTF-32LE", 4, false, "\xFF\xFE\x00\x00", 4},
    {"UTF-32BE", 4, true, "\x00\x00\xFE\xFF", 4},
    {"UTF-16LE", 2, false, "\xFF\xFE", 2},
    {"UTF-16BE", 2, true, "\xFE\xFF", 2},
};

uint32_t unitAt(const std::string& bytes, size_t at, const Encoding& encoding) {
    uint32_t value = 0;
    for (int k = 0; k < encoding.unitBytes; ++k) {
        const int index = encoding.bigEndian ? k : encoding.unitBytes - 1 - k;
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(index)]);
    }
    return value;
}

void appendUtf8(uint32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Converts from `start`; false with the reason when the bytes are not valid.
bool convert(const std::string& bytes, size_t start, const Encoding& encoding, std::string& text, std::string& error) {
    const size_t unit = static_cast<size_t>(encoding.unitBytes);
    if ((bytes.size() - start) % unit != 0) {
        error = std::string("reads as ") + encoding.name + " text but its length is not a whole number of characters";
        return false;
    }
    text.clear();
    for (size_t at = start; at < bytes.size(); at += unit) {
        uint32_t code = unitAt(bytes, at, encoding);
        const size_t offset = at - start;
        if (unit == 2 && code >= 0xD800 && code <= 0xDBFF) {
            const uint32_t low = at + 2 < bytes.size() ? unitAt(bytes, at + 2, encoding) : 0;
            if (low < 0xDC00 || low > 0xDFFF) {
                error = std::string("reads as ") + encoding.name + " text but has a broken surrogate pair at byte " +
                        std::to_string(at);
                return false;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            at += 2;
        } else if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            error = std::string("reads as ") + encoding.name + " text but has an invalid character at byte " +
                    std::to_string(start + offset);
            return false;
        }
        if (code == 0) {
            error = std::string("reads as ") + encoding.name + " text but contains a NUL character";
            return false;
        }
        appendUtf8(code, text);
    }
    return true;
}

// Every character below U+0100: all but the lowest byte of each unit is NUL
// and the lowest never is.
bool hasNulPattern(const std::string& bytes, const Encoding& encoding) {
    const size_t unit = static_cast<size_t>(encoding.unitBytes);
    if (bytes.size() < 2 * unit || bytes.size() % unit != 0) return false;
    for (size_t at = 0; at < bytes.size(); at += unit) {
        const uint32_t code = unitAt(bytes, at, encoding);
        if (code == 0 || code > 0xFF) return false;
    }
    return true;
}

}  // namespace

PresetBytes decodePresetBytes(const std::string& bytes, std::string& text, std::string& error) {
    for (const Encoding& encoding : kEncodings) {
        if (bytes.compare(0, encoding.markBytes, encoding.mark, encoding.markBytes) != 0) continue;
        return convert(bytes, encoding.markBytes, encoding, text, error) ? PresetBytes::Text : PresetBytes::Unreadable;
    }
    if (bytes.find('\0') == std::string::npos) {
        text = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
        return PresetBytes::Text;
    }
    for (const Encoding& encoding : kEncodings) {
        std::string decoded;
        std::string reason;
        if (hasNulPattern(bytes, encoding) && convert(bytes, 0, encoding, decoded, reason) &&
            hasSectionHeaderLine(decoded)) {
            text = std::move(decoded);
            return PresetBytes::Text;
        }
    }
    return PresetBytes::RawBlock;
}

}  // namespace previewer
