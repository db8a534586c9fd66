// Analysis of music as it arrives (a live input): no look-ahead. Levels come
// from the same hop features as the offline analysis; beats are onset peaks
// that keep to the tempo found so far.
#pragma once

#include <cstddef>
#include <vector>

#include "audio/hop_features.h"

namespace audio {

class StreamAnalyzer {
public:
    StreamAnalyzer();

    void push(const float* left, const float* right, size_t count);

    double bass() const { return latest_.bass; }
    double mid() const { return latest_.mid; }
    double treble() const { return latest_.treble; }
    double tempo() const;  // beats per minute, 0 while unknown
    // Whether a beat has come since the last call (at most one per call).
    bool takeBeat();
    long hopsAnalysed() const { return hopCount_; }

private:
    void onHop(const HopFeatures& features);

    HopFeatureExtractor extractor_;
    std::vector<HopFeatures> fresh_;
    HopFeatures latest_;
    std::vector<double> history_;   // the last few seconds of onsets
    long hopCount_ = 0;
    double period_ = 0;             // hops, 0 unknown
    long lastBeat_ = -1000000;
    bool beatPending_ = false;
};

}  // namespace audio
