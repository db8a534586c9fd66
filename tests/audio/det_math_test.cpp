// Our own elementary functions against known values and the C library.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/det_math.h"

namespace audio {
namespace {

struct MathCase {
    const char* name;
    double (*ours)(double);
    double (*reference)(double);
    double from, to;
    double tolerance;  // relative
};

class DeterministicMath : public ::testing::TestWithParam<MathCase> {};

TEST_P(DeterministicMath, AgreesWithTheLibraryOverItsRange) {
    const MathCase& c = GetParam();
    for (int k = 0; k <= 1000; ++k) {
        const double x = c.from + (c.to - c.from) * k / 1000.0;
        const double want = c.reference(x);
        EXPECT_NEAR(c.ours(x), want, c.tolerance * std::fmax(1.0, std::fabs(want))) << c.name << "(" << x << ")";
    }
}

double librarySin(double x) { return std::sin(x); }
double libraryCos(double x) { return std::cos(x); }
double libraryExp(double x) { return std::exp(x); }
double libraryLog(double x) { return std::log(x); }

INSTANTIATE_TEST_SUITE_P(Functions, DeterministicMath,
                         ::testing::Values(MathCase{"sin", detSin, librarySin, -20.0, 20.0, 1e-14},
                                           MathCase{"cos", detCos, libraryCos, -20.0, 20.0, 1e-14},
                                           MathCase{"exp", detExp, libraryExp, -50.0, 50.0, 1e-14},
                                           MathCase{"log", detLog, libraryLog, 1e-6, 1e6, 1e-14}),
                         [](const ::testing::TestParamInfo<MathCase>& param) { return param.param.name; });

struct ExactCase {
    double (*function)(double);
    double x;
    double want;
};

class DeterministicMathExact : public ::testing::TestWithParam<ExactCase> {};

TEST_P(DeterministicMathExact, GivesKnownValues) {
    EXPECT_NEAR(GetParam().function(GetParam().x), GetParam().want, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Points, DeterministicMathExact,
                         ::testing::Values(ExactCase{detSin, 0.0, 0.0}, ExactCase{detSin, kPi / 2, 1.0},
                                           ExactCase{detSin, kPi / 6, 0.5}, ExactCase{detCos, 0.0, 1.0},
                                           ExactCase{detCos, kPi, -1.0}, ExactCase{detCos, kPi / 3, 0.5},
                                           ExactCase{detExp, 0.0, 1.0}, ExactCase{detLog, 1.0, 0.0},
                                           ExactCase{detLog, 0.0, -745.0}, ExactCase{detLog, -1.0, -745.0}));

}  // namespace
}  // namespace audio
