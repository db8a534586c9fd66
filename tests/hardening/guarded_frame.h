// A frame buffer with guard words on both sides, so that a test can tell an
// untouched frame from one drawn into, and either from a write outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/fake_host.h"

namespace hardening {

class GuardedFrame {
public:
    static constexpr uint32_t kBackground = 0x00101010u;
    static constexpr uint32_t kGuard = 0xDEADBEEFu;
    static constexpr size_t kGuardWords = 64;

    GuardedFrame(int32_t width, int32_t height)
        : width_(width), words_(kGuardWords + static_cast<size_t>(width) * height + kGuardWords, kGuard) {
        for (size_t k = 0; k < static_cast<size_t>(width) * height; ++k) pixels()[k] = kBackground;
    }

    uint32_t* pixels() { return words_.data() + kGuardWords; }
    uint32_t at(int32_t row, int32_t column) const {
        return words_[kGuardWords + static_cast<size_t>(row) * width_ + column];
    }
    bool guardsIntact() const {
        for (size_t k = 0; k < kGuardWords; ++k)
            if (words_[k] != kGuard || words_[words_.size() - 1 - k] != kGuard) return false;
        return true;
    }
    // True when no pixel differs from the background.
    bool untouched() const {
        for (size_t k = kGuardWords; k < words_.size() - kGuardWords; ++k)
            if (words_[k] != kBackground) return false;
        return true;
    }

private:
    int32_t width_;
    std::vector<uint32_t> words_;
};

// One white triangle over the whole frame but its last column, at depth z1.
inline void coverFrame(FakeHost::Vars& v, double z1 = 1.0) {
    v["x1"] = -1;
    v["y1"] = -5;
    v["x2"] = 5;
    v["y2"] = 1;
    v["x3"] = -5;
    v["y3"] = 1;
    v["z1"] = z1;
}

}  // namespace hardening
