// The loudness of one band relative to its own recent average: 1 is normal for
// the song, 2 twice as loud, 0 silence. A ratio, so the recording's gain drops
// out; smoothed so that it does not flicker from frame to frame.
#pragma once

#include <cstddef>
#include <vector>

namespace audio {

class BandLevels {
public:
    // hopRate: updates per second.
    explicit BandLevels(double hopRate);

    // Takes the band's amplitude for one hop and gives its level.
    double update(double amplitude);

private:
    double smoothing_;   // one-pole coefficient of the short-term amplitude
    double smoothed_ = 0;
    std::vector<double> history_;  // the last few seconds of amplitudes
    size_t next_ = 0;
    size_t sounding_ = 0;  // entries of history_ above silence
    double sum_ = 0;
};

}  // namespace audio
