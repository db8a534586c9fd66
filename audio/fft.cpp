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

std::vector<double> hannWindow(size_t length) {
    std::vector<double> window(length);
    for (size_t k = 0; k < length; ++k)
        window[k] = 0.5 - 0.5 * detCos(2.0 * kPi * static_cast<double>(k) / static_cast<double>(length));
    return window;
}

}  // namespace audio
