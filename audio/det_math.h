// Elementary functions computed by our own code, so that the analysis gives
// the same bits on every platform and C library (libm's results differ in the
// last place between builds). Accurate to a few units in the last place over
// the ranges the analysis uses.
#pragma once

namespace audio {

constexpr double kPi = 3.14159265358979323846;

double detSin(double x);
double detCos(double x);
double detExp(double x);
// Natural logarithm; x <= 0 gives a large negative number, not NaN.
double detLog(double x);

}  // namespace audio
