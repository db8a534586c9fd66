// The analysis grid: every kHopSize samples, the onset strength of the mono
// mix and the loudness of three bands relative to their recent average.
// Causal, so the live analyser and the offline one share it.
#pragma once

#include <cstddef>
#include <vector>

#include "audio/band_levels.h"
#include "audio/fft.h"
#include "audio/pcm.h"
#include "audio/recent_average.h"

namespace audio {

constexpr int kHopSize = 256;
constexpr int kOnsetWindow = 1024;
constexpr double kHopRate = static_cast<double>(kAnalysisRate) / kHopSize;
constexpr double kHopSeconds = 1.0 / kHopRate;

struct HopFeatures {
    float onset = 0;  // rise of the compressed spectrum since the previous hop, per band
                      // against its recent average
    float bass = 0;   // below 250 Hz
    float mid = 0;    // 250 to 4000 Hz
    float treble = 0; // above 4000 Hz
};

// Hop n is centred on sample n * kHopSize.
class HopFeatureExtractor {
public:
    HopFeatureExtractor();

    // Appends to `out` every hop whose window the samples complete.
    void push(const float* left, const float* right, size_t count, std::vector<HopFeatures>& out);
    // Ends the music: the hops still open are completed with silence.
    void finish(std::vector<HopFeatures>& out);

private:
    void analyseHop(std::vector<HopFeatures>& out);

    RealFft fft_;
    std::vector<double> window_;
    double scale_ = 0;
    std::vector<float> pending_;  // mono samples from the next hop's window start
    long long nextHop_ = 0;
    long long received_ = 0;
    std::vector<double> windowed_, re_, im_;
    std::vector<double> previous_;  // compressed magnitudes of the last hop
    std::vector<double> power_, rise_;  // this hop's, per bin
    int firstBass_ = 0, firstMid_ = 0, firstTreble_ = 0;  // the first bins of each band
    BandLevels bass_, mid_, treble_;
    RecentAverage lowFluxAverage_, highFluxAverage_;
};

}  // namespace audio
