#include "audio/frame_view.h"

#include <cmath>

namespace audio {

long long sampleIndexAt(double seconds) {
    return static_cast<long long>(std::floor(seconds * kAnalysisRate + 0.5));
}

FrameViewer::FrameViewer()
    : fft_(kSpectrumFftSize), window_(hannWindow(kSpectrumWindow)), re_(kSpectrumFftSize), im_(kSpectrumFftSize) {
    double sum = 0;
    for (double w : window_) sum += w;
    // A sine of amplitude A peaks at A * sum / 2.
    scale_ = 2.0 / sum;
}

void FrameViewer::waveform(const StereoPcm& pcm, double seconds, float* left, float* right) const {
    const long long first = sampleIndexAt(seconds) - kWaveSamples / 2;
    for (int k = 0; k < kWaveSamples; ++k) {
        left[k] = pcm.sample(0, first + k);
        right[k] = pcm.sample(1, first + k);
    }
}

void FrameViewer::spectrum(const StereoPcm& pcm, double seconds, float* left, float* right) {
    // Both channels in one transform: left as the real part, right as the
    // imaginary part, separated by the symmetry of real signals' spectra.
    const long long first = sampleIndexAt(seconds) - kSpectrumWindow / 2;
    for (int k = 0; k < kSpectrumFftSize; ++k) {
        if (k < kSpectrumWindow) {
            re_[k] = window_[k] * pcm.sample(0, first + k);
            im_[k] = window_[k] * pcm.sample(1, first + k);
        } else {
            re_[k] = 0;
            im_[k] = 0;
        }
    }
    fft_.forward(re_.data(), im_.data());
    const int n = kSpectrumFftSize;
    for (int k = 0; k < kSpectrumBins; ++k) {
        const int mirror = (n - k) % n;
        const double zr = re_[k], zi = im_[k], mr = re_[mirror], mi = -im_[mirror];
        // L = (Z + conj Zm) / 2, R = (Z - conj Zm) / 2i
        const double lr = 0.5 * (zr + mr), li = 0.5 * (zi + mi);
        const double rr = 0.5 * (zi - mi), ri = -0.5 * (zr - mr);
        left[k] = static_cast<float>(std::sqrt(lr * lr + li * li) * scale_);
        right[k] = static_cast<float>(std::sqrt(rr * rr + ri * ri) * scale_);
    }
}

}  // namespace audio
