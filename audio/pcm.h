// Decoded music at the analysis rate: two channels of float samples.
#pragma once

#include <cstddef>
#include <vector>

namespace audio {

constexpr int kAnalysisRate = 44100;

struct StereoPcm {
    std::vector<float> left;
    std::vector<float> right;  // always as long as left

    size_t frames() const { return left.size(); }
    double seconds() const { return static_cast<double>(left.size()) / kAnalysisRate; }
    // Sample `index` of one channel (0 left, 1 right); silence outside the music.
    float sample(int channel, long long index) const {
        if (index < 0 || index >= static_cast<long long>(left.size())) return 0.0f;
        return channel == 0 ? left[static_cast<size_t>(index)] : right[static_cast<size_t>(index)];
    }
};

}  // namespace audio
