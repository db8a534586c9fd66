#include "audio/fft.h"

#include <utility>

#include "audio/det_math.h"

namespace audio {

Fft::Fft(size_t size) : size_(size), cosTable_(size / 2), sinTable_(size / 2), bitReversed_(size) {
    for (size_t k = 0; k < size / 2; ++k) {
        const double angle = 2.0 * kPi * static_cast<double>(k) / static_cast<double>(size);
        cosTable_[k] = detCos(angle);
        sinTable_[k] = detSin(angle);
    }
    size_t bits = 0;
    while ((size_t{1} << bits) < size) ++bits;
    for (size_t n = 0; n < size; ++n) {
        size_t reversed = 0;
        for (size_t b = 0; b < bits; ++b)
            if (n & (size_t{1} << b)) reversed |= size_t{1} << (bits - 1 - b);
        bitReversed_[n] = reversed;
    }
}

void Fft::forward(double* re, double* im) const {
    const size_t n = size_;
    for (size_t k = 0; k < n; ++k) {
        const size_t j = bitReversed_[k];
        if (j > k) {
            std::swap(re[k], re[j]);
            std::swap(im[k], im[j]);
        }
    }
    for (size_t half = 1; half < n; half *= 2) {
        const size_t stride = n / (2 * half);
        for (size_t start = 0; start < n; start += 2 * half) {
            for (size_t k = 0; k < half; ++k) {
                const double wr = cosTable_[k * stride];
                const double wi = -sinTable_[k * stride];
                const size_t a = start + k;
                const size_t b = a + half;
                const double tr = re[b] * wr - im[b] * wi;
                const double ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
}

RealFft::RealFft(size_t size)
    : size_(size), half_(size / 2), cosTable_(size / 2 + 1), sinTable_(size / 2 + 1), zr_(size / 2), zi_(size / 2) {
    for (size_t k = 0; k <= size / 2; ++k) {
        const double angle = 2.0 * kPi * static_cast<double>(k) / static_cast<double>(size);
        cosTable_[k] = detCos(angle);
        sinTable_[k] = detSin(angle);
    }
}

void RealFft::forward(const double* in, double* re, double* im) {
    const size_t half = size_ / 2;
    // Even samples as the real part, odd ones as the imaginary part.
    for (size_t m = 0; m < half; ++m) {
        zr_[m] = in[2 * m];
        zi_[m] = in[2 * m + 1];
    }
    half_.forward(zr_.data(), zi_.data());
    for (size_t k = 0; k <= half; ++k) {
        const size_t a = k % half, b = (half - k) % half;
        // Even part E = (Z[k] + conj Z[half-k]) / 2, odd part O = (Z[k] - conj Z[half-k]) / 2i.
        const double er = 0.5 * (zr_[a] + zr_[b]), ei = 0.5 * (zi_[a] - zi_[b]);
        const double or_ = 0.5 * (zi_[a] + zi_[b]), oi = -0.5 * (zr_[a] - zr_[b]);
        // X[k] = E + e^{-2 pi i k / size} O
        const double wr = cosTable_[k], wi = -sinTable_[k];
        re[k] = er + (or_ * wr - oi * wi);
        im[k] = ei + (or_ * wi + oi * wr);
    }
}

std::vector<double> hannWindow(size_t length) {
    std::vector<double> window(length);
    for (size_t k = 0; k < length; ++k)
        window[k] = 0.5 - 0.5 * detCos(2.0 * kPi * static_cast<double>(k) / static_cast<double>(length));
    return window;
}

}  // namespace audio
