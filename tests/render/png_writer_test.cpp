// The PNG writer, read back with libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/png_writer.h"

namespace {

struct Decoded {
    bool ok = false;
    uint32_t width = 0, height = 0, format = 0;
    std::vector<unsigned char> rgb;
};

Decoded decode(const std::vector<unsigned char>& png) {
    Decoded out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return out;
    out.width = image.width;
    out.height = image.height;
    out.format = image.format;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    out.ok = png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr) != 0;
    return out;
}

std::vector<uint32_t> noise(size_t count, uint32_t seed) {
    std::vector<uint32_t> words(count);
    for (uint32_t& word : words) {
        seed = seed * 1664525u + 1013904223u;
        word = seed ^ (seed >> 13);
    }
    return words;
}

class PngRoundTripTest : public testing::TestWithParam<std::pair<int32_t, int32_t>> {};

TEST_P(PngRoundTripTest, DecodesToTheRgbBytesOfEveryPixel) {
    const int32_t width = GetParam().first, height = GetParam().second;
    const std::vector<uint32_t> pixels = noise(static_cast<size_t>(width) * height, static_cast<uint32_t>(width * 977 + height));
    const Decoded decoded = decode(imaging::encodePng(pixels.data(), width, height));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.width, static_cast<uint32_t>(width));
    EXPECT_EQ(decoded.height, static_cast<uint32_t>(height));
    EXPECT_EQ(decoded.format, static_cast<uint32_t>(PNG_FORMAT_RGB)) << "stored as 8-bit RGB, no alpha";
    for (size_t i = 0; i < pixels.size(); ++i) {
        const unsigned char* rgb = &decoded.rgb[3 * i];
        const uint32_t back = static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
        ASSERT_EQ(back, pixels[i] & 0x00FFFFFFu) << "pixel " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngRoundTripTest,
                         testing::Values(std::make_pair(1, 1), std::make_pair(3, 2), std::make_pair(2, 3),
                                         std::make_pair(17, 5), std::make_pair(640, 4), std::make_pair(1, 300)));

TEST(PngWriterTest, FileHoldsTheEncodedBytes) {
    const std::vector<uint32_t> pixels = noise(12, 5);
    const std::string path = testing::TempDir() + "png_writer_test.png";
    ASSERT_TRUE(imaging::writePng(path, pixels.data(), 4, 3));
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, imaging::encodePng(pixels.data(), 4, 3));
    std::remove(path.c_str());
}

TEST(PngWriterTest, RefusesWhatCannotBeAnImage) {
    const uint32_t pixel = 0;
    EXPECT_TRUE(imaging::encodePng(&pixel, 0, 1).empty());
    EXPECT_TRUE(imaging::encodePng(&pixel, 1, 0).empty());
    EXPECT_TRUE(imaging::encodePng(&pixel, -1, 1).empty());
    EXPECT_TRUE(imaging::encodePng(nullptr, 1, 1).empty());
    EXPECT_FALSE(imaging::writePng(testing::TempDir() + "no/such/dir/x.png", &pixel, 1, 1));
}

}  // namespace
