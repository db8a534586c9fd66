#include "audio/det_math.h"

#include <cmath>

namespace audio {

namespace {

// pi/2 in two parts so that x - k*pi/2 loses nothing for moderate k.
constexpr double kHalfPiHigh = 1.57079632673412561417;
constexpr double kHalfPiLow = 6.07710050650619224932e-11;
constexpr double kLn2 = 0.693147180559945309417;

// Taylor series on |r| <= pi/4, Horner form.
double sinKernel(double r) {
    const double r2 = r * r;
    double p = -1.0 / 355687428096000.0;            // 1/17!
    p = p * r2 + 1.0 / 1307674368000.0;             // 1/15!
    p = p * r2 - 1.0 / 6227020800.0;                // 1/13!
    p = p * r2 + 1.0 / 39916800.0;                  // 1/11!
    p = p * r2 - 1.0 / 362880.0;
    p = p * r2 + 1.0 / 5040.0;
    p = p * r2 - 1.0 / 120.0;
    p = p * r2 + 1.0 / 6.0;
    return r - r * r2 * p;
}

double cosKernel(double r) {
    const double r2 = r * r;
    double p = -1.0 / 6402373705728000.0;           // 1/18!
    p = p * r2 + 1.0 / 20922789888000.0;            // 1/16!
    p = p * r2 - 1.0 / 87178291200.0;               // 1/14!
    p = p * r2 + 1.0 / 479001600.0;
    p = p * r2 - 1.0 / 3628800.0;
    p = p * r2 + 1.0 / 40320.0;
    p = p * r2 - 1.0 / 720.0;
    p = p * r2 + 1.0 / 24.0;
    p = p * r2 - 0.5;
    return 1.0 + r2 * p;
}

// Reduces x to r in [-pi/4, pi/4] and the quadrant k mod 4.
double reduce(double x, int& quadrant) {
    const double k = std::nearbyint(x * (2.0 / kPi));
    const double r = (x - k * kHalfPiHigh) - k * kHalfPiLow;
    const long long q = static_cast<long long>(k);
    quadrant = static_cast<int>(((q % 4) + 4) % 4);
    return r;
}

}  // namespace

double detSin(double x) {
    int quadrant = 0;
    const double r = reduce(x, quadrant);
    switch (quadrant) {
        case 0: return sinKernel(r);
        case 1: return cosKernel(r);
        case 2: return -sinKernel(r);
        default: return -cosKernel(r);
    }
}

double detCos(double x) {
    int quadrant = 0;
    const double r = reduce(x, quadrant);
    switch (quadrant) {
        case 0: return cosKernel(r);
        case 1: return -sinKernel(r);
        case 2: return -cosKernel(r);
        default: return sinKernel(r);
    }
}

double detExp(double x) {
    if (x < -700.0) return 0.0;
    if (x > 700.0) x = 700.0;
    const double k = std::nearbyint(x / kLn2);
    const double r = x - k * kLn2;  // |r| <= ln2/2
    // Taylor to r^14/14!: the remainder is below 1e-17 on this interval.
    double p = 1.0;
    for (int n = 14; n >= 1; --n) p = 1.0 + p * r / n;
    return std::ldexp(p, static_cast<int>(k));
}

double detLog(double x) {
    if (!(x > 0.0)) return -745.0;
    int exponent = 0;
    double m = std::frexp(x, &exponent);  // m in [0.5, 1)
    if (m < 0.70710678118654752440) {
        m *= 2.0;
        --exponent;
    }
    // log m = 2 atanh(s), s = (m-1)/(m+1), |s| < 0.172.
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    double p = 0.0;
    for (int n = 27; n >= 1; n -= 2) p = p * s2 + 1.0 / n;
    return 2.0 * s * p + exponent * kLn2;
}

}  // namespace audio
