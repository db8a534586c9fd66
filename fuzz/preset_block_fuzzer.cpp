// loadConfig then saveConfig on arbitrary bytes and lengths. Preset blocks
// come from files users download, so every byte string must be safe, and the
// round trip must hold: a block with four NULs among its first `length` bytes
// saves back as its prefix up to and including the fourth NUL; any other
// block leaves the effect's previous scripts in place.
//
// Input: one control byte picks the length handed to loadConfig (the whole
// rest, a shorter prefix, zero or a negative value); the rest is the block.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "effect/triangle_effect.h"

namespace {

const char kPreviousBlock[] = "init\0frame\0beat\0triangle";  // + the literal's own NUL
constexpr size_t kPreviousBlockSize = sizeof kPreviousBlock;
constexpr size_t kGuardBytes = 64;
constexpr unsigned char kGuard = 0xA5;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "preset_block_fuzzer: %s\n", what);
    std::abort();
}

int32_t chooseLength(uint8_t control, size_t available) {
    switch (control % 4) {
        case 0: return static_cast<int32_t>(available);
        case 1: return available == 0 ? 0 : static_cast<int32_t>(control % available);
        case 2: return 0;
        default: return -1 - static_cast<int32_t>(control);
    }
}

// Bytes up to and including the fourth NUL among the first `length`, or an
// empty string when there are fewer than four.
std::string expectedBlock(const unsigned char* data, int32_t length) {
    int nuls = 0;
    for (int32_t k = 0; k < length; ++k) {
        if (data[k] == 0 && ++nuls == 4) return std::string(reinterpret_cast<const char*>(data), k + 1);
    }
    return std::string();
}

std::string saved(effect::TriangleEffect& effect, size_t room) {
    std::vector<unsigned char> buffer(room + kGuardBytes, kGuard);
    const int32_t written = effect.saveConfig(buffer.data());
    if (written < 4 || static_cast<size_t>(written) > room) fail("saveConfig returned an impossible length");
    for (size_t k = static_cast<size_t>(written); k < buffer.size(); ++k)
        if (buffer[k] != kGuard) fail("saveConfig wrote past the length it returned");
    return std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(written));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t control = data[0];
    // A copy of exactly the block's bytes, so that reading one past the
    // length is an overflow the sanitizer reports.
    const std::vector<unsigned char> block(data + 1, data + size);
    const int32_t length = chooseLength(control, block.size());

    effect::TriangleEffect* effect = effect::TriangleEffect::create();
    if (effect == nullptr) fail("no effect");
    effect->loadConfig(reinterpret_cast<const unsigned char*>(kPreviousBlock), kPreviousBlockSize);
    const std::string previous(kPreviousBlock, kPreviousBlockSize);

    effect->loadConfig(block.empty() ? nullptr : block.data(), length);
    const std::string expected = expectedBlock(block.data(), length);
    const std::string result = saved(*effect, block.size() + kPreviousBlockSize);
    if (expected.empty() ? result != previous : result != expected) fail("round trip broken");

    // Loading what was saved must reproduce it exactly.
    effect->loadConfig(reinterpret_cast<const unsigned char*>(result.data()), static_cast<int32_t>(result.size()));
    if (saved(*effect, result.size()) != result) fail("saved block does not load back");

    effect->destroy(effect::EffectBase::kFreeMemory);
    return 0;
}
