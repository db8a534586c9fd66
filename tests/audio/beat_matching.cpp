#include "beat_matching.h"

#include <cmath>

namespace audio::testing {

BeatScore scoreBeats(const std::vector<double>& found, const std::vector<double>& expected, double tolerance) {
    BeatScore score;
    score.expected = static_cast<int>(expected.size());
    std::vector<bool> used(found.size(), false);
    for (double want : expected) {
        for (size_t k = 0; k < found.size(); ++k) {
            if (!used[k] && std::fabs(found[k] - want) <= tolerance) {
                used[k] = true;
                ++score.found;
                break;
            }
        }
    }
    for (bool u : used)
        if (!u) ++score.extra;
    return score;
}

std::vector<double> timesOfFrames(const std::vector<bool>& beats, double start, double fps) {
    std::vector<double> times;
    for (size_t k = 0; k < beats.size(); ++k)
        if (beats[k]) times.push_back(start + static_cast<double>(k) / fps);
    return times;
}

}  // namespace audio::testing
