#include "audio/track_analysis.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "audio/beat_tracker.h"

namespace audio {

namespace {
constexpr double kTempoReachSeconds = 4.0;
constexpr size_t kFewestBeatsForTempo = 4;
constexpr double kIntervalTolerance = 0.15;  // share of the median interval
constexpr size_t kChunk = 4096;
}  // namespace

double secondsOfHop(long hop) { return static_cast<double>(hop) * kHopSeconds; }

TrackAnalysis TrackAnalysis::analyse(const StereoPcm& pcm) {
    Builder builder;
    for (size_t at = 0; at < pcm.frames(); at += kChunk) {
        const size_t count = std::min(kChunk, pcm.frames() - at);
        builder.push(pcm.left.data() + at, pcm.right.data() + at, count);
    }
    return builder.finish();
}

void TrackAnalysis::Builder::push(const float* left, const float* right, size_t count) {
    extractor_.push(left, right, count, hops_);
    frames_ += count;
}

TrackAnalysis TrackAnalysis::Builder::finish() {
    TrackAnalysis analysis;
    analysis.seconds_ = static_cast<double>(frames_) / kAnalysisRate;
    extractor_.finish(hops_);
    analysis.hops_ = std::move(hops_);

    std::vector<double> onset(analysis.hops_.size());
    for (size_t k = 0; k < onset.size(); ++k) onset[k] = analysis.hops_[k].onset;
    const BeatTrack track = trackBeats(onset);
    for (long hop : track.beatHops) analysis.beatTimes_.push_back(secondsOfHop(hop));
    return analysis;
}

Levels TrackAnalysis::levelsAt(double seconds) const {
    if (seconds < 0 || seconds > seconds_ || hops_.empty()) return {};
    const size_t hop = std::min(hops_.size() - 1, static_cast<size_t>(std::floor(seconds * kHopRate + 0.5)));
    return {hops_[hop].bass, hops_[hop].mid, hops_[hop].treble};
}

double TrackAnalysis::tempoAt(double seconds) const {
    const auto first = std::lower_bound(beatTimes_.begin(), beatTimes_.end(), seconds - kTempoReachSeconds);
    const auto last = std::upper_bound(beatTimes_.begin(), beatTimes_.end(), seconds + kTempoReachSeconds);
    if (last - first < static_cast<long>(kFewestBeatsForTempo)) return 0.0;
    std::vector<double> intervals;
    for (auto it = first + 1; it != last; ++it) intervals.push_back(*it - *(it - 1));
    std::vector<double> sorted = intervals;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2), sorted.end());
    const double median = sorted[sorted.size() / 2];
    // The mean of the intervals near the median: a missed or doubled beat
    // does not pull it, and whole-hop steps average out.
    double sum = 0;
    int count = 0;
    for (double interval : intervals) {
        if (std::fabs(interval - median) <= kIntervalTolerance * median) {
            sum += interval;
            ++count;
        }
    }
    return count > 0 && sum > 0 ? 60.0 * count / sum : 0.0;
}

std::vector<bool> TrackAnalysis::beatFrames(double start, double fps, long frames) const {
    std::vector<bool> beats(static_cast<size_t>(std::max(0L, frames)), false);
    for (double time : beatTimes_) {
        const double position = (time - start) * fps;
        const long frame = static_cast<long>(std::floor(position + 0.5));
        if (frame >= 0 && frame < frames) beats[static_cast<size_t>(frame)] = true;
    }
    return beats;
}

}  // namespace audio
