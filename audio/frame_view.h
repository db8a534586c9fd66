// What one picture frame sees of the music around its time: the waveform and
// the spectrum of each channel.
#pragma once

#include <vector>

#include "audio/fft.h"
#include "audio/pcm.h"

namespace audio {

constexpr int kWaveSamples = 1024;       // per channel
constexpr int kSpectrumWindow = 2048;    // Hann-windowed samples...
constexpr int kSpectrumFftSize = 4096;   // ...zero-padded to this
constexpr int kSpectrumBins = kSpectrumFftSize / 2 + 1;
constexpr double kSpectrumBinHz = static_cast<double>(kAnalysisRate) / kSpectrumFftSize;

class FrameViewer {
public:
    FrameViewer();

    // kWaveSamples per channel centred on `seconds`, oldest first.
    void waveform(const StereoPcm& pcm, double seconds, float* left, float* right) const;
    // kSpectrumBins magnitudes per channel from a window centred on `seconds`,
    // scaled so that a full-scale sine reads about 1.
    void spectrum(const StereoPcm& pcm, double seconds, float* left, float* right);

private:
    Fft fft_;
    std::vector<double> window_;
    double scale_ = 0;
    std::vector<double> re_;
    std::vector<double> im_;
};

// The sample index nearest `seconds` at the analysis rate.
long long sampleIndexAt(double seconds);

}  // namespace audio
