// Radix-2 complex FFT with twiddles from our own sine and cosine, so that the
// spectra are bit-identical wherever the analysis runs.
#pragma once

#include <cstddef>
#include <vector>

namespace audio {

class Fft {
public:
    // size must be a power of two, at least 2.
    explicit Fft(size_t size);

    size_t size() const { return size_; }
    // In place, forward (e^{-i...}), unnormalised.
    void forward(double* re, double* im) const;

private:
    size_t size_;
    std::vector<double> cosTable_;
    std::vector<double> sinTable_;
    std::vector<size_t> bitReversed_;
};

// A periodic Hann window of `length` points.
std::vector<double> hannWindow(size_t length);

}  // namespace audio
