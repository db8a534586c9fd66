#include "previewer/option_values.h"

#include <array>
#include <cctype>

#include "previewer/options.h"

namespace previewer {

namespace {

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

constexpr int32_t kMixMode = 7;

struct BlendName {
    const char* name;
    int32_t mode;
};

constexpr std::array<BlendName, 10> kBlendNames = {{
    {"replace", 0},
    {"additive", 1},
    {"maximum", 2},
    {"average", 3},
    {"subtract-colour", 4},
    {"subtract-pixel", 5},
    {"multiply", 6},
    {"mix", kMixMode},
    {"xor", 8},
    {"minimum", 9},
}};

}  // namespace

const char* blendModeName(int32_t mode) {
    for (const BlendName& entry : kBlendNames)
        if (entry.mode == mode) return entry.name;
    return nullptr;
}

namespace {

bool parseBlendMode(const std::string& text, int32_t& mode, std::string& error) {
    for (const BlendName& entry : kBlendNames) {
        if (text == entry.name) {
            mode = entry.mode;
            return true;
        }
    }
    if (allDigits(text)) return parseInteger(text, 0, 255, mode, error);
    error = "'" + text + "' is not a blend mode: 0 to 255 or one of";
    for (const BlendName& entry : kBlendNames) error += std::string(" ") + entry.name;
    return false;
}

}  // namespace

bool parseInteger(const std::string& text, int32_t min, int32_t max, int32_t& value, std::string& error) {
    const std::string allowed = "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
    if (!allDigits(text)) {
        error = "'" + text + "' is not " + allowed;
        return false;
    }
    // Digits beyond what fits are out of range whatever they are.
    int64_t parsed = 0;
    for (char c : text) {
        parsed = parsed * 10 + (c - '0');
        if (parsed > max) break;
    }
    if (parsed < min || parsed > max) {
        error = "'" + text + "' is not " + allowed;
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

bool parseFrameSize(const std::string& text, int32_t& width, int32_t& height, std::string& error) {
    const size_t cross = text.find_first_of("xX");
    if (cross == std::string::npos) {
        error = "'" + text + "' is not a size like 640x360";
        return false;
    }
    int32_t w = 0;
    int32_t h = 0;
    if (!parseInteger(text.substr(0, cross), 1, kMaxFrameSide, w, error) ||
        !parseInteger(text.substr(cross + 1), 1, kMaxFrameSide, h, error)) {
        error = "'" + text + "': each side must be a whole number of pixels from 1 to " +
                std::to_string(kMaxFrameSide);
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool parseBlend(const std::string& text, uint32_t& blendModeWord, std::string& error) {
    const size_t colon = text.find(':');
    int32_t mode = 0;
    if (!parseBlendMode(text.substr(0, colon), mode, error)) return false;
    int32_t ratio = 0;
    if (colon != std::string::npos) {
        if (mode != kMixMode) {
            error = "'" + text + "': a ratio goes with mode 7 (mix) only";
            return false;
        }
        if (!parseInteger(text.substr(colon + 1), 0, 255, ratio, error)) {
            error = "'" + text + "': the mix ratio must be a whole number from 0 to 255";
            return false;
        }
    }
    blendModeWord = static_cast<uint32_t>(mode) | static_cast<uint32_t>(ratio) << 8;
    return true;
}

bool parseHexWord(const std::string& text, uint32_t& value, std::string& error) {
    const bool prefixed = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = prefixed ? text.substr(2) : std::string();
    bool valid = prefixed && digits.size() <= 8;
    for (char c : digits) valid = valid && std::isxdigit(static_cast<unsigned char>(c));
    if (!valid) {
        error = "'" + text + "' is not a 32-bit word: 0x and one to eight hex digits, like 0xFF000000";
        return false;
    }
    value = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    return true;
}

bool parseSeconds(const std::string& text, double max, double& value, std::string& error) {
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string("0") : text.substr(point + 1);
    if (!allDigits(whole) || !allDigits(fraction) || whole.size() > 9) {
        error = "'" + text + "' is not a number of seconds";
        return false;
    }
    double parsed = 0;
    for (char c : whole) parsed = parsed * 10 + (c - '0');
    double scale = 0.1;
    for (char c : fraction) {
        parsed += (c - '0') * scale;
        scale /= 10;
    }
    if (parsed > max) {
        error = "'" + text + "' is more than " + std::to_string(static_cast<long>(max)) + " seconds";
        return false;
    }
    value = parsed;
    return true;
}

}  // namespace previewer
