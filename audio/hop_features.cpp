#include "audio/hop_features.h"

#include <cmath>

namespace audio {

namespace {
constexpr double kBassTopHz = 250.0;
constexpr double kMidTopHz = 4000.0;
constexpr double kLowestHz = 20.0;
}  // namespace

HopFeatureExtractor::HopFeatureExtractor()
    : fft_(kOnsetWindow),
      window_(hannWindow(kOnsetWindow)),
      re_(kOnsetWindow),
      im_(kOnsetWindow),
      previous_(kOnsetWindow / 2 + 1, 0.0),
      bass_(kHopRate),
      mid_(kHopRate),
      treble_(kHopRate) {
    double sum = 0;
    for (double w : window_) sum += w;
    scale_ = 2.0 / sum;
    // The first window reaches back before the music: silence there.
    pending_.assign(kOnsetWindow / 2, 0.0f);
}

void HopFeatureExtractor::push(const float* left, const float* right, size_t count, std::vector<HopFeatures>& out) {
    for (size_t k = 0; k < count; ++k) {
        pending_.push_back(0.5f * (left[k] + right[k]));
        ++received_;
        if (static_cast<long long>(pending_.size()) == kOnsetWindow) analyseHop(out);
    }
}

void HopFeatureExtractor::finish(std::vector<HopFeatures>& out) {
    // Every hop centred inside the music is reported.
    while (nextHop_ * kHopSize < received_) {
        pending_.resize(kOnsetWindow, 0.0f);
        analyseHop(out);
    }
}

void HopFeatureExtractor::analyseHop(std::vector<HopFeatures>& out) {
    for (int k = 0; k < kOnsetWindow; ++k) {
        re_[k] = window_[k] * pending_[k];
        im_[k] = 0.0;
    }
    fft_.forward(re_.data(), im_.data());

    const double binHz = static_cast<double>(kAnalysisRate) / kOnsetWindow;
    double flux = 0, bass = 0, mid = 0, treble = 0;
    for (int k = 1; k <= kOnsetWindow / 2; ++k) {
        const double power = (re_[k] * re_[k] + im_[k] * im_[k]) * scale_ * scale_;
        // Square-root compression (magnitude to the half) keeps soft onsets
        // visible next to loud ones and scales simply with the gain.
        const double compressed = std::sqrt(std::sqrt(power));
        const double rise = compressed - previous_[k];
        if (rise > 0) flux += rise;
        previous_[k] = compressed;
        const double hz = k * binHz;
        if (hz < kLowestHz) continue;
        if (hz <= kBassTopHz) bass += power;
        else if (hz <= kMidTopHz) mid += power;
        else treble += power;
    }
    HopFeatures features;
    features.onset = static_cast<float>(flux);
    features.bass = static_cast<float>(bass_.update(std::sqrt(bass)));
    features.mid = static_cast<float>(mid_.update(std::sqrt(mid)));
    features.treble = static_cast<float>(treble_.update(std::sqrt(treble)));
    out.push_back(features);

    ++nextHop_;
    pending_.erase(pending_.begin(), pending_.begin() + kHopSize);
}

}  // namespace audio
