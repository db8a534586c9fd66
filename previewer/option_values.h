// Parsers for the values of single options. Each returns false and sets
// `error` (without the option's name) when the text is not acceptable.
#pragma once

#include <cstdint>
#include <string>

namespace previewer {

// A whole decimal number in [min, max]; no sign, no spaces, no suffix.
bool parseInteger(const std::string& text, int32_t min, int32_t max, int32_t& value, std::string& error);

// "WxH" (or "WXH"), each side 1..kMaxFrameSide.
bool parseFrameSize(const std::string& text, int32_t& width, int32_t& height, std::string& error);

// "MODE" or "MODE:RATIO" -> the host's blend-mode word (mode | ratio << 8).
// MODE is 0..255 or a name (replace, additive, maximum, average, subtract,
// subtract-pixel, multiply, mix, xor, minimum); a ratio goes with mode 7 only.
bool parseBlend(const std::string& text, uint32_t& blendModeWord, std::string& error);

// The name of host blend mode 0-9 ("additive"); null for the others.
const char* blendModeName(int32_t mode);

// Seconds as a plain decimal number ("12", "7.25") in [0, max].
bool parseSeconds(const std::string& text, double max, double& value, std::string& error);

// "0x" followed by one to eight hex digits.
bool parseHexWord(const std::string& text, uint32_t& value, std::string& error);

}  // namespace previewer
