// Scoring found beats against the beats a test put into its music.
#pragma once

#include <vector>

namespace audio::testing {

struct BeatScore {
    int expected = 0;
    int found = 0;    // expected beats with a found beat within the tolerance
    int extra = 0;    // found beats near no expected one
    double hitShare() const { return expected > 0 ? static_cast<double>(found) / expected : 1.0; }
    double extraShare() const { return expected > 0 ? static_cast<double>(extra) / expected : extra; }
};

BeatScore scoreBeats(const std::vector<double>& found, const std::vector<double>& expected, double tolerance);

// Beat times from per-frame flags.
std::vector<double> timesOfFrames(const std::vector<bool>& beats, double start, double fps);

}  // namespace audio::testing
