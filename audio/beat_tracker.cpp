#include "audio/beat_tracker.h"

#include <algorithm>
#include <cmath>

#include "audio/det_math.h"
#include "audio/hop_features.h"
#include "audio/tempo_estimator.h"

namespace audio {

namespace {

constexpr double kTightness = 100.0;       // cost of a beat interval off the period
constexpr double kBlockSeconds = 1.0;      // the period is re-estimated this often...
constexpr double kTempoWindowSeconds = 8.0;  // ...from this much music around it
constexpr double kActivitySeconds = 4.0;
constexpr double kWeakBeat = 0.15;         // beats on less than this share of the local RMS onset are dropped
constexpr double kSilentOnset = 1e-9;

std::vector<double> localPeriods(const std::vector<double>& onset, double global) {
    const size_t n = onset.size();
    std::vector<double> period(n, global);
    const size_t block = static_cast<size_t>(kBlockSeconds * kHopRate);
    const size_t half = static_cast<size_t>(kTempoWindowSeconds * kHopRate / 2);
    for (size_t start = 0; start < n; start += block) {
        const size_t centre = std::min(n, start + block / 2);
        const size_t begin = centre > half ? centre - half : 0;
        const size_t end = std::min(n, centre + half);
        double local = estimatePeriod(onset, begin, end, global);
        if (local <= 0) local = global;
        for (size_t k = start; k < std::min(n, start + block); ++k) period[k] = local;
    }
    return period;
}

// Root mean square of onset[k - half, k + half] for every k.
std::vector<double> localRms(const std::vector<double>& onset, size_t half) {
    const size_t n = onset.size();
    std::vector<double> prefix(n + 1, 0.0);
    for (size_t k = 0; k < n; ++k) prefix[k + 1] = prefix[k] + onset[k] * onset[k];
    std::vector<double> rms(n);
    for (size_t k = 0; k < n; ++k) {
        const size_t begin = k > half ? k - half : 0;
        const size_t end = std::min(n, k + half + 1);
        const double mean = (prefix[end] - prefix[begin]) / static_cast<double>(end - begin);
        rms[k] = mean > 0 ? std::sqrt(mean) : 0.0;
    }
    return rms;
}

}  // namespace

BeatTrack trackBeats(const std::vector<double>& rawOnset) {
    BeatTrack track;
    const size_t n = rawOnset.size();
    track.periodHops.assign(n, 0.0);
    if (n == 0) return track;

    const std::vector<double> onset = smoothOnsets(rawOnset);
    double sum = 0, sumSquares = 0;
    for (double v : onset) {
        sum += v;
        sumSquares += v * v;
    }
    const double mean = sum / static_cast<double>(n);
    const double variance = sumSquares / static_cast<double>(n) - mean * mean;
    if (!(variance > kSilentOnset * kSilentOnset)) return track;
    const double global = estimatePeriod(onset, 0, n, 0.0);
    if (global <= 0) return track;
    track.periodHops = localPeriods(onset, global);

    // Scores in units of the onset curve's spread, so the gain drops out.
    const double spread = std::sqrt(variance);
    std::vector<double> score(n), best(n);
    std::vector<long> previous(n, -1);
    std::vector<double> penalty;
    double tableFor = -1;
    for (size_t k = 0; k < n; ++k) {
        const double period = track.periodHops[k];
        const long shortest = std::max(1L, static_cast<long>(std::lround(period / 2)));
        const long longest = static_cast<long>(std::lround(period * 2));
        if (period != tableFor) {
            penalty.assign(static_cast<size_t>(longest + 1), 0.0);
            for (long d = shortest; d <= longest; ++d) {
                const double off = detLog(static_cast<double>(d) / period);
                penalty[static_cast<size_t>(d)] = -kTightness * off * off;
            }
            tableFor = period;
        }
        double bestBefore = 0;
        long from = -1;
        for (long d = shortest; d <= longest && d <= static_cast<long>(k); ++d) {
            const size_t p = k - static_cast<size_t>(d);
            const double candidate = score[p] + penalty[static_cast<size_t>(d)];
            if (from < 0 || candidate > bestBefore) {
                bestBefore = candidate;
                from = static_cast<long>(p);
            }
        }
        // A chain may also start here, when nothing before it helps.
        if (from < 0 || bestBefore < 0) {
            bestBefore = 0;
            from = -1;
        }
        score[k] = onset[k] / spread + bestBefore;
        previous[k] = from;
    }

    // The chain ends at the best score within the last beat period.
    const size_t lastPeriod = static_cast<size_t>(std::lround(track.periodHops[n - 1]));
    size_t end = n - 1;
    for (size_t k = n > lastPeriod ? n - lastPeriod : 0; k < n; ++k)
        if (score[k] > score[end]) end = k;
    std::vector<long> chain;
    for (long k = static_cast<long>(end); k >= 0; k = previous[static_cast<size_t>(k)]) chain.push_back(k);
    std::reverse(chain.begin(), chain.end());

    // Drop beats with no onset under them: silence and the chain's guesses
    // past the music's ends.
    const std::vector<double> rms = localRms(onset, static_cast<size_t>(kActivitySeconds * kHopRate / 2));
    for (long hop : chain) {
        const size_t h = static_cast<size_t>(hop);
        const size_t reach = static_cast<size_t>(track.periodHops[h] / 8) + 2;
        double peak = 0;
        for (size_t k = h > reach ? h - reach : 0; k <= std::min(n - 1, h + reach); ++k) peak = std::max(peak, onset[k]);
        if (peak > kSilentOnset && peak >= kWeakBeat * rms[h]) track.beatHops.push_back(hop);
    }
    return track;
}

}  // namespace audio
