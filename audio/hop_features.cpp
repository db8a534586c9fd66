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
      windowed_(kOnsetWindow),
      re_(kOnsetWindow / 2 + 1),
      im_(kOnsetWindow / 2 + 1),
      previous_(kOnsetWindow / 2 + 1, 0.0),
      power_(kOnsetWindow / 2 + 1, 0.0),
      rise_(kOnsetWindow / 2 + 1, 0.0),
      bass_(kHopRate),
      mid_(kHopRate),
      treble_(kHopRate),
      lowFluxAverage_(static_cast<size_t>(kFluxAverageSeconds * kHopRate)),
      highFluxAverage_(static_cast<size_t>(kFluxAverageSeconds * kHopRate)) {
    double sum = 0;
    for (double w : window_) sum += w;
    scale_ = 2.0 / sum;
    const double binHz = static_cast<double>(kAnalysisRate) / kOnsetWindow;
    firstBass_ = 1;
    while (firstBass_ * binHz < kLowestHz) ++firstBass_;
    firstMid_ = 1;
    while (firstMid_ <= kOnsetWindow / 2 && firstMid_ * binHz <= kBassTopHz) ++firstMid_;
    firstTreble_ = firstMid_ > firstBass_ ? firstMid_ : firstBass_;
    while (firstTreble_ <= kOnsetWindow / 2 && firstTreble_ * binHz <= kMidTopHz) ++firstTreble_;
    pending_.reserve(kOnsetWindow);
    // The first window reaches back before the music: silence there.
    pending_.assign(kOnsetWindow / 2, 0.0f);
}

void HopFeatureExtractor::push(const float* left, const float* right, size_t count, std::vector<HopFeatures>& out) {
    received_ += static_cast<long long>(count);
    while (count > 0) {
        const size_t room = static_cast<size_t>(kOnsetWindow) - pending_.size();
        const size_t take = count < room ? count : room;
        for (size_t k = 0; k < take; ++k) pending_.push_back(0.5f * (left[k] + right[k]));
        left += take;
        right += take;
        count -= take;
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
    for (int k = 0; k < kOnsetWindow; ++k) windowed_[k] = window_[k] * pending_[k];
    fft_.forward(windowed_.data(), re_.data(), im_.data());

    // Bins below firstMid_ make the low flux, and from firstBass_ on the bass
    // band; then come the middle band and, from firstTreble_, the treble.
    // Each sum adds its bins in rising order; only rises count as flux.
    double lowFlux = 0, highFlux = 0, bass = 0, mid = 0, treble = 0;
    const int half = kOnsetWindow / 2;
    for (int k = 1; k <= half; ++k) {
        const double power = (re_[k] * re_[k] + im_[k] * im_[k]) * scale_ * scale_;
        // Square-root compression (magnitude to the half) keeps soft onsets
        // visible next to loud ones and scales simply with the gain.
        const double compressed = std::sqrt(std::sqrt(power));
        const double rise = compressed - previous_[k];
        previous_[k] = compressed;
        power_[k] = power;
        rise_[k] = rise > 0 ? rise : 0.0;
    }
    for (int k = 1; k < firstMid_; ++k) lowFlux += rise_[k];
    for (int k = firstBass_; k < firstMid_; ++k) bass += power_[k];
    for (int k = firstMid_; k <= half; ++k) highFlux += rise_[k];
    for (int k = firstMid_ > firstBass_ ? firstMid_ : firstBass_; k < firstTreble_; ++k) mid += power_[k];
    for (int k = firstTreble_; k <= half; ++k) treble += power_[k];
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
