// GIF palettes: exact while a frame's colours fit, close when they do not,
// and dithered only when asked.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "test_media.h"
#include "video/gif_palette.h"

namespace {

std::vector<uint32_t> stripes(int32_t width, int32_t height, int32_t colours) {
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
        {
            const uint32_t k = static_cast<uint32_t>((y * width + x) % colours);
            frame[static_cast<size_t>(y) * width + x] = ((k * 37) & 0xFF) << 16 | ((k * 11) & 0xFF) << 8 | k;
        }
    return frame;
}

// Largest difference in any channel between the frame and its paletted form.
int worstError(const std::vector<uint32_t>& frame, const video::PalettedFrame& out) {
    int worst = 0;
    for (size_t k = 0; k < frame.size(); ++k) {
        const uint32_t shown = out.palette[out.indices[k]];
        for (int shift = 0; shift < 24; shift += 8)
            worst = std::max(worst, std::abs(static_cast<int>(frame[k] >> shift & 0xFF) -
                                             static_cast<int>(shown >> shift & 0xFF)));
    }
    return worst;
}

struct PaletteCase {
    const char* name;
    int32_t colours;     // in the frame; 0: a gradient of thousands
    int32_t maxColours;  // asked for
    bool dither;
    int32_t paletteSize;  // expected; 0: exactly maxColours or fewer
    int worstChannelError;
};

const PaletteCase kPalettes[] = {
    {"OneColour", 1, 256, false, 1, 0},
    {"FlatTrianglesExact", 4, 256, false, 4, 0},
    {"ExactlyFull", 256, 256, false, 256, 0},
    {"SmallerPaletteAsked", 16, 16, false, 16, 0},
    {"OneOverMerges", 257, 256, false, 0, 8},
    {"GradientMedianCut", 0, 256, false, 0, 24},
    {"GradientFewColours", 0, 16, false, 0, 80},
    {"GradientDithered", 0, 256, true, 0, 64},
};

class GifPalette : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(GifPalette, MapsEveryPixelWithinTheError) {
    const PaletteCase& c = GetParam();
    const int32_t width = 97, height = 61;
    const std::vector<uint32_t> frame = c.colours ? stripes(width, height, c.colours) : gradientFrame(width, height);
    video::PalettedFrame out;
    video::quantizeFrame(frame.data(), width, height, width, c.maxColours, c.dither, out);
    ASSERT_EQ(out.indices.size(), frame.size());
    if (c.paletteSize) {
        EXPECT_EQ(static_cast<int32_t>(out.palette.size()), c.paletteSize);
    } else {
        EXPECT_LE(static_cast<int32_t>(out.palette.size()), c.maxColours);
        EXPECT_GE(static_cast<int32_t>(out.palette.size()), c.maxColours / 2) << "the palette is used";
    }
    for (uint8_t index : out.indices) ASSERT_LT(index, out.palette.size());
    EXPECT_LE(worstError(frame, out), c.worstChannelError);
}

INSTANTIATE_TEST_SUITE_P(Frames, GifPalette, ::testing::ValuesIn(kPalettes),
                         [](const ::testing::TestParamInfo<PaletteCase>& row) { return std::string(row.param.name); });

// A stride wider than the frame: the words past the width are never read.
TEST(GifPalette, ReadsOnlyTheFrameWithinItsStride) {
    const int32_t width = 5, height = 3, stride = 8;
    std::vector<uint32_t> words(static_cast<size_t>(stride) * height, 0x00FFFFFFu);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) words[static_cast<size_t>(y) * stride + x] = 0x00102030u;
    video::PalettedFrame out;
    video::quantizeFrame(words.data(), width, height, stride, 256, false, out);
    EXPECT_EQ(out.palette, std::vector<uint32_t>{0x00102030u});
}

// Dithering mixes neighbouring palette colours where a gradient had to be
// merged into bands; without it each band is one colour with clean edges.
TEST(GifPalette, DitheringOnlyWhenAsked) {
    const int32_t width = 64, height = 64;
    const std::vector<uint32_t> frame = gradientFrame(width, height);
    int changes[2] = {0, 0};
    for (bool dither : {false, true}) {
        video::PalettedFrame out;
        video::quantizeFrame(frame.data(), width, height, width, 8, dither, out);
        for (size_t k = 1; k < out.indices.size(); ++k) {
            if (k % width != 0 && out.indices[k] != out.indices[k - 1]) ++changes[dither];
        }
    }
    EXPECT_LE(changes[0], 8 * height) << "a few band edges a row";
    EXPECT_GE(changes[1], 4 * changes[0]);
}

}  // namespace
