// Offline beat tracking over a whole song: the local beat period from the
// onset curve's autocorrelation, then the beat times that best combine strong
// onsets with steady spacing (dynamic programming over the whole song, so it
// looks ahead as far as it needs).
#pragma once

#include <vector>

namespace audio {

struct BeatTrack {
    std::vector<long> beatHops;     // ascending hop indices
    std::vector<double> periodHops; // local beat period per hop, 0 where unknown
};

BeatTrack trackBeats(const std::vector<double>& onset);

}  // namespace audio
