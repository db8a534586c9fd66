#include "audio/stream_analyzer.h"

#include <algorithm>
#include <cmath>

#include "audio/tempo_estimator.h"

namespace audio {

namespace {
constexpr double kHistorySeconds = 6.0;
constexpr double kRetempoSeconds = 0.5;
constexpr double kThresholdSeconds = 1.0;  // the peak threshold follows this much history
constexpr double kPeakDeviations = 1.5;
constexpr double kSilentOnset = 1e-9;
constexpr double kNearestBeatShare = 0.7;  // of the period: closer peaks are not beats
constexpr double kFastestFreeBeatSeconds = 0.25;
}  // namespace

StreamAnalyzer::StreamAnalyzer() { history_.reserve(static_cast<size_t>(kHistorySeconds * kHopRate) + 1); }

void StreamAnalyzer::push(const float* left, const float* right, size_t count) {
    fresh_.clear();
    extractor_.push(left, right, count, fresh_);
    for (const HopFeatures& features : fresh_) onHop(features);
}

double StreamAnalyzer::tempo() const { return bpmOfPeriod(period_); }

bool StreamAnalyzer::takeBeat() {
    const bool beat = beatPending_;
    beatPending_ = false;
    return beat;
}

void StreamAnalyzer::onHop(const HopFeatures& features) {
    latest_ = features;
    const size_t capacity = static_cast<size_t>(kHistorySeconds * kHopRate);
    if (history_.size() == capacity) history_.erase(history_.begin());
    history_.push_back(features.onset);
    ++hopCount_;

    const long retempo = static_cast<long>(kRetempoSeconds * kHopRate);
    if (hopCount_ % retempo == 0) {
        const double found = estimatePeriod(smoothOnsets(history_), 0, history_.size(), period_);
        if (found > 0 || history_.size() == capacity) period_ = found;
    }

    // Is the previous hop a peak well above the recent onsets?
    const size_t n = history_.size();
    if (n < 3) return;
    const double candidate = history_[n - 2];
    if (!(candidate > history_[n - 3] && candidate >= history_[n - 1] && candidate > kSilentOnset)) return;
    const size_t recent = std::min(n, static_cast<size_t>(kThresholdSeconds * kHopRate));
    double sum = 0, squares = 0;
    for (size_t k = n - recent; k < n; ++k) {
        sum += history_[k];
        squares += history_[k] * history_[k];
    }
    const double mean = sum / static_cast<double>(recent);
    const double deviation = std::sqrt(std::fmax(0.0, squares / static_cast<double>(recent) - mean * mean));
    if (candidate <= mean + kPeakDeviations * deviation) return;

    const long peakHop = hopCount_ - 2;
    const double nearest = period_ > 0 ? kNearestBeatShare * period_ : kFastestFreeBeatSeconds * kHopRate;
    if (static_cast<double>(peakHop - lastBeat_) < nearest) return;
    lastBeat_ = peakHop;
    beatPending_ = true;
}

}  // namespace audio
