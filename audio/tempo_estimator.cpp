#include "audio/tempo_estimator.h"

#include <algorithm>
#include <cmath>

#include "audio/det_math.h"
#include "audio/hop_features.h"

namespace audio {

namespace {
constexpr double kCentreBpm = 120.0;
constexpr double kPriorOctaves = 1.0;       // width of the preference for common tempi
constexpr double kContinuityOctaves = 0.2;  // how far from the preferred period a new one may be
constexpr double kLog2 = 0.693147180559945309417;

double octavesBetween(double a, double b) { return detLog(a / b) / kLog2; }
double gaussian(double octaves, double width) { return detExp(-0.5 * (octaves / width) * (octaves / width)); }
}  // namespace

double bpmOfPeriod(double hops) { return hops > 0 ? 60.0 * kHopRate / hops : 0.0; }
double periodOfBpm(double bpm) { return 60.0 * kHopRate / bpm; }

std::vector<double> smoothOnsets(const std::vector<double>& onset) {
    std::vector<double> out(onset.size());
    for (size_t k = 0; k < onset.size(); ++k) {
        const double before = k > 0 ? onset[k - 1] : 0.0;
        const double after = k + 1 < onset.size() ? onset[k + 1] : 0.0;
        out[k] = 0.25 * before + 0.5 * onset[k] + 0.25 * after;
    }
    return out;
}

double estimatePeriod(const std::vector<double>& onset, size_t begin, size_t end, double preferred) {
    const long minLag = static_cast<long>(std::floor(periodOfBpm(kFastestBpm)));
    const long maxLag = static_cast<long>(std::ceil(periodOfBpm(kSlowestBpm)));
    // A stretch shorter than two of the slowest beats is searched only for the
    // periods that fit in it twice.
    if (end <= begin || static_cast<long>(end - begin) < 2 * minLag + 2) return 0.0;
    const long count = static_cast<long>(end - begin);
    const long lastLag = std::min(maxLag + 1, count / 2);

    double mean = 0;
    for (size_t k = begin; k < end; ++k) mean += onset[k];
    mean /= static_cast<double>(count);
    std::vector<double> x(static_cast<size_t>(count));
    double energy = 0;
    for (long k = 0; k < count; ++k) {
        x[static_cast<size_t>(k)] = onset[begin + static_cast<size_t>(k)] - mean;
        energy += x[static_cast<size_t>(k)] * x[static_cast<size_t>(k)];
    }
    if (!(energy > 1e-18)) return 0.0;

    std::vector<double> score(static_cast<size_t>(lastLag + 2), 0.0);
    long best = -1;
    for (long lag = minLag - 1; lag <= lastLag; ++lag) {
        if (lag < 1) continue;
        double sum = 0;
        for (long k = 0; k + lag < count; ++k) sum += x[static_cast<size_t>(k)] * x[static_cast<size_t>(k + lag)];
        double weighted = sum / static_cast<double>(count - lag);
        weighted *= gaussian(octavesBetween(periodOfBpm(kCentreBpm), static_cast<double>(lag)), kPriorOctaves);
        if (preferred > 0)
            weighted *= gaussian(octavesBetween(preferred, static_cast<double>(lag)), kContinuityOctaves);
        score[static_cast<size_t>(lag)] = weighted;
        if (lag >= minLag && lag < lastLag && (best < 0 || weighted > score[static_cast<size_t>(best)])) best = lag;
    }
    if (best < 0 || !(score[static_cast<size_t>(best)] > 0)) return 0.0;

    // A parabola through the peak and its neighbours places it between hops.
    const double left = score[static_cast<size_t>(best - 1)];
    const double centre = score[static_cast<size_t>(best)];
    const double right = score[static_cast<size_t>(best + 1)];
    const double curvature = left - 2.0 * centre + right;
    double offset = curvature < 0 ? 0.5 * (left - right) / curvature : 0.0;
    if (offset > 0.5) offset = 0.5;
    if (offset < -0.5) offset = -0.5;
    return static_cast<double>(best) + offset;
}

}  // namespace audio
