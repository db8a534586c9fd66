// Telling a preset's text from a raw block, and reading text saved as UTF-16
// or UTF-32 (as some Windows editors do) as the UTF-8 the scripts are in.
#pragma once

#include <string>

namespace previewer {

enum class PresetBytes { Text, RawBlock, Unreadable };

// Decides what `bytes` are and, for text, gives it as UTF-8 in `text`:
//  - a UTF-8 byte-order mark is dropped;
//  - a UTF-32 or UTF-16 byte-order mark (either byte order) makes it text in
//    that encoding;
//  - without a mark, bytes whose NULs fall in the pattern of UTF-32 or UTF-16
//    (every character below U+0100, so every other byte, or three of every
//    four, is NUL) are that encoding when the result has a section header;
//  - otherwise any NUL byte makes it a raw block, and anything else is UTF-8.
// Unreadable, with a reason in `error`, when a marked or detected UTF-16/32
// file is not valid in that encoding.
PresetBytes decodePresetBytes(const std::string& bytes, std::string& text, std::string& error);

}  // namespace previewer
