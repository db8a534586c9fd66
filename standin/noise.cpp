#include "standin/noise.h"

#include <cmath>
#include <cstdint>

namespace standin {
namespace {

// A double this large is a whole number, so a lattice point, where the noise
// is 0; below it the cell fits an int64.
constexpr double kLatticeLimit = 4611686018427387904.0;  // 2^62

uint64_t mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t hash(int64_t x, int64_t y) {
    const uint64_t row = mix(static_cast<uint64_t>(y) + 0x632BE59BD9B4E019ull);
    return mix((static_cast<uint64_t>(x) * 0x9E3779B97F4A7C15ull) ^ row);
}

// 5th-degree fade: flat at both ends, so the noise is smooth across cells.
double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

double lerp(double a, double b, double t) { return a + (b - a) * t; }

// A slope in [-1, 1] for a 1-D lattice point.
double slope(int64_t x) { return static_cast<double>(hash(x, 0) >> 11) * (2.0 / 9007199254740992.0) - 1.0; }

// One of eight directions for a 2-D lattice point, dotted with (dx, dy).
double gradientDot(int64_t x, int64_t y, double dx, double dy) {
    switch (hash(x, y) >> 61) {
        case 0: return dx + dy;
        case 1: return dx - dy;
        case 2: return -dx + dy;
        case 3: return -dx - dy;
        case 4: return dx;
        case 5: return -dx;
        case 6: return dy;
        default: return -dy;
    }
}

bool onLattice(double v) { return !(std::fabs(v) < kLatticeLimit); }

// Also makes -0 into 0, so that the lattice points read the same everywhere.
double clampUnit(double v) { return v < -1.0 ? -1.0 : (v > 1.0 ? 1.0 : v + 0.0); }

}  // namespace

double noise1(double x) {
    if (onLattice(x)) return 0.0;
    const double cell = std::floor(x);
    const int64_t i = static_cast<int64_t>(cell);
    const double f = x - cell;
    // Each slope contributes at most 1/2 between its lattice points.
    return clampUnit(2.0 * lerp(slope(i) * f, slope(i + 1) * (f - 1.0), fade(f)));
}

double noise2(double x, double y) {
    if (onLattice(x) || onLattice(y)) return 0.0;
    const double cellX = std::floor(x);
    const double cellY = std::floor(y);
    const int64_t i = static_cast<int64_t>(cellX);
    const int64_t j = static_cast<int64_t>(cellY);
    const double fx = x - cellX;
    const double fy = y - cellY;
    const double u = fade(fx);
    const double bottom = lerp(gradientDot(i, j, fx, fy), gradientDot(i + 1, j, fx - 1.0, fy), u);
    const double top = lerp(gradientDot(i, j + 1, fx, fy - 1.0), gradientDot(i + 1, j + 1, fx - 1.0, fy - 1.0), u);
    return clampUnit(lerp(bottom, top, fade(fy)));
}

}  // namespace standin
