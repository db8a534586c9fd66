// The transform on inputs whose spectra are known.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/det_math.h"
#include "audio/fft.h"

namespace audio {
namespace {

struct FftCase {
    const char* name;
    size_t size;
    int tone;        // cosine cycles over the block; -1: an impulse at 0; -2: a constant
};

class FftKnownSpectra : public ::testing::TestWithParam<FftCase> {};

TEST_P(FftKnownSpectra, PutsTheEnergyWhereItBelongs) {
    const FftCase& c = GetParam();
    std::vector<double> re(c.size, 0.0), im(c.size, 0.0);
    for (size_t k = 0; k < c.size; ++k) {
        if (c.tone == -1) re[k] = k == 0 ? 1.0 : 0.0;
        else if (c.tone == -2) re[k] = 1.0;
        else re[k] = detCos(2.0 * kPi * c.tone * static_cast<double>(k) / static_cast<double>(c.size));
    }
    Fft(c.size).forward(re.data(), im.data());
    const double n = static_cast<double>(c.size);
    for (size_t k = 0; k < c.size; ++k) {
        double want = 0;
        if (c.tone == -1) want = 1.0;
        else if (c.tone == -2) want = k == 0 ? n : 0.0;
        else if (static_cast<int>(k) == c.tone || static_cast<int>(c.size - k) == c.tone) want = n / 2;
        EXPECT_NEAR(std::hypot(re[k], im[k]), want, 1e-9 * n) << "bin " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, FftKnownSpectra,
                         ::testing::Values(FftCase{"impulse16", 16, -1}, FftCase{"constant64", 64, -2},
                                           FftCase{"tone3of32", 32, 3}, FftCase{"tone100of1024", 1024, 100},
                                           FftCase{"tone1000of4096", 4096, 1000}),
                         [](const ::testing::TestParamInfo<FftCase>& param) { return param.param.name; });

TEST(HannWindow, IsZeroAtTheEdgeAndOneInTheMiddle) {
    const std::vector<double> window = hannWindow(2048);
    EXPECT_DOUBLE_EQ(window[0], 0.0);
    EXPECT_NEAR(window[1024], 1.0, 1e-15);
    EXPECT_NEAR(window[512], 0.5, 1e-15);
}

}  // namespace
}  // namespace audio
