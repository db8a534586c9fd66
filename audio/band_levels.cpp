#include "audio/band_levels.h"

#include <cmath>

#include "audio/det_math.h"

namespace audio {

namespace {
constexpr double kSmoothingSeconds = 0.12;
constexpr double kAverageSeconds = 4.0;
// Below -180 dBFS a band is silent; so is anything 60 dB under its average
// (a relative floor, so the recording's gain does not move it).
constexpr double kSilentAmplitude = 1e-9;
constexpr double kSilentShare = 1e-3;
}  // namespace

BandLevels::BandLevels(double hopRate)
    : smoothing_(1.0 - detExp(-1.0 / (kSmoothingSeconds * hopRate))),
      history_(static_cast<size_t>(std::ceil(kAverageSeconds * hopRate))) {}

double BandLevels::update(double amplitude) {
    smoothed_ += smoothing_ * (amplitude - smoothed_);
    // Silent stretches are left out of the average, so music after a pause
    // reads as its normal loudness rather than as loud.
    const double average = sounding_ > 0 ? sum_ / static_cast<double>(sounding_) : 0.0;
    const double entry = amplitude < kSilentAmplitude || amplitude < kSilentShare * average ? 0.0 : amplitude;
    const double leaving = history_[next_];
    sum_ -= leaving;
    if (leaving > 0) --sounding_;
    history_[next_] = entry;
    sum_ += entry;
    if (entry > 0) ++sounding_;
    next_ = (next_ + 1) % history_.size();
    if (next_ == 0) {
        // Renew the running sum once per lap so that rounding cannot build up.
        sum_ = 0;
        for (double value : history_) sum_ += value;
    }
    if (sounding_ == 0 || smoothed_ < kSilentAmplitude) return 0.0;
    const double recent = sum_ / static_cast<double>(sounding_);
    return recent > 0 ? smoothed_ / recent : 0.0;
}

}  // namespace audio
