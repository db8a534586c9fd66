// The beat period of a stretch of onset strengths, by autocorrelation weighted
// towards common tempi (and, when given, towards a period already found).
#pragma once

#include <cstddef>
#include <vector>

namespace audio {

constexpr double kSlowestBpm = 40.0;
constexpr double kFastestBpm = 240.0;

double bpmOfPeriod(double hops);
double periodOfBpm(double bpm);

// Period in hops of onset[begin, end), refined between whole hops; 0 when the
// stretch has no regular pulse. preferred: a period to stay near, or 0.
double estimatePeriod(const std::vector<double>& onset, size_t begin, size_t end, double preferred);

// Light smoothing of an onset curve, so a click's energy split over two hops
// still lines up.
std::vector<double> smoothOnsets(const std::vector<double>& onset);

}  // namespace audio
