#include "audio/hop_features.h"

#include <cmath>

namespace audio {

namespace {
constexpr double kBassTopHz = 250.0;
constexpr double kMidTopHz = 4000.0;
constexpr double kLowestHz = 20.0;
constexpr double kFluxAverageSeconds = 3.0;
constexpr double kSilentFlux = 1e-9;
}  // namespace

HopFeatureExtractor::HopFeatureExtractor()
    : fft_(kOnsetWindow),
      window_(hannWindow(kOnsetWindow)),
      re_(kOnsetWindow),
      im_(kOnsetWindow),
      previous_(kOnsetWindow / 2 + 1, 0.0),
      bass_(kHopRate),
      mid_(kHopRate),
      treble_(kHopRate),
      lowFluxAverage_(static_cast<size_t>(kFluxAverageSeconds * kHopRate)),
      highFluxAverage_(static_cast<size_t>(kFluxAverageSeconds * kHopRate)) {
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
    double lowFlux = 0, highFlux = 0, bass = 0, mid = 0, treble = 0;
    for (int k = 1; k <= kOnsetWindow / 2; ++k) {
        const double power = (re_[k] * re_[k] + im_[k] * im_[k]) * scale_ * scale_;
        // Square-root compression (magnitude to the half) keeps soft onsets
        // visible next to loud ones and scales simply with the gain.
        const double compressed = std::sqrt(std::sqrt(power));
        const double rise = compressed - previous_[k];
        previous_[k] = compressed;
        const double hz = k * binHz;
        if (rise > 0) (hz <= kBassTopHz ? lowFlux : highFlux) += rise;
        if (hz < kLowestHz) continue;
        if (hz <= kBassTopHz) bass += power;
        else if (hz <= kMidTopHz) mid += power;
        else treble += power;
    }
    // Each band's rise against its own recent average, so a kick counts as
    // much as a broadband snare or hi-hat that fills far more bins.
    const double lowAverage = lowFluxAverage_.push(lowFlux);
    const double highAverage = highFluxAverage_.push(highFlux);
    double onset = 0;
    if (lowAverage > kSilentFlux) onset += lowFlux / lowAverage;
    if (highAverage > kSilentFlux) onset += highFlux / highAverage;
    HopFeatures features;
    features.onset = static_cast<float>(onset);
    features.bass = static_cast<float>(bass_.update(std::sqrt(bass)));
    features.mid = static_cast<float>(mid_.update(std::sqrt(mid)));
    features.treble = static_cast<float>(treble_.update(std::sqrt(treble)));
    out.push_back(features);

    ++nextHop_;
    pending_.erase(pending_.begin(), pending_.begin() + kHopSize);
}

}  // namespace audio
