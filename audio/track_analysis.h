// A whole song analysed ahead of rendering: per-hop levels and onsets, the
// beat times and the tempo around any moment.
#pragma once

#include <cstddef>
#include <vector>

#include "audio/hop_features.h"
#include "audio/pcm.h"

namespace audio {

struct Levels {
    double bass = 0;
    double mid = 0;
    double treble = 0;
};

class TrackAnalysis {
public:
    static TrackAnalysis analyse(const StereoPcm& pcm);

    // The same analysis fed a block at a time, as the music is decoded: the
    // levels and onsets go along with it, the beats are found at the end
    // (they look at the whole song).
    class Builder {
    public:
        void push(const float* left, const float* right, size_t count);
        TrackAnalysis finish();

    private:
        HopFeatureExtractor extractor_;
        std::vector<HopFeatures> hops_;
        size_t frames_ = 0;
    };

    double seconds() const { return seconds_; }
    const std::vector<double>& beatTimes() const { return beatTimes_; }
    // Silence before the start and past the end.
    Levels levelsAt(double seconds) const;
    // Beats per minute from the beats around `seconds`; 0 where too few.
    double tempoAt(double seconds) const;
    // For frame k at start + k / fps: whether a beat falls nearest that frame.
    std::vector<bool> beatFrames(double start, double fps, long frames) const;

private:
    double seconds_ = 0;
    std::vector<HopFeatures> hops_;
    std::vector<double> beatTimes_;
};

// Where a beat found at hop `hop` is heard: the onset curve peaks a little
// before the sound's attack reaches the window's centre.
double secondsOfHop(long hop);

}  // namespace audio
