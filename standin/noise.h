// Smooth gradient noise in [-1, 1], built from +, *, floor and integer
// hashing only, so that every platform computes the same bits.
#pragma once

namespace standin {

double noise1(double x);
double noise2(double x, double y);

}  // namespace standin
