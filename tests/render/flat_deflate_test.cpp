// The scanline deflater, inflated again by zlib: every kind of picture must
// come back byte for byte, and flat ones must come out small.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/flat_deflate.h"

namespace {

struct Picture {
    const char* name;
    size_t rowBytes;
    size_t rows;
    // Byte at (row, column); column 0 is the filter byte.
    unsigned char (*byte)(size_t row, size_t column);
    size_t maxPackedPerRow;  // 0: no bound on the size
};

unsigned char flatRows(size_t, size_t column) { return column == 0 ? 0 : static_cast<unsigned char>(column % 3 * 40); }
unsigned char bands(size_t row, size_t column) {
    return column == 0 ? 0 : static_cast<unsigned char>((row / 7 + column / 300) * 17 + column % 3);
}
unsigned char noise(size_t row, size_t column) {
    uint32_t x = static_cast<uint32_t>(row * 7919 + column * 104729 + 1);
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return static_cast<unsigned char>(x);
}
unsigned char allZero(size_t, size_t) { return 0; }
unsigned char steps(size_t row, size_t column) { return static_cast<unsigned char>((column / 2 + row) & 0xFF); }

class FlatDeflateTest : public testing::TestWithParam<Picture> {};

TEST_P(FlatDeflateTest, InflatesToTheSameScanlines) {
    const Picture& picture = GetParam();
    std::vector<unsigned char> data(picture.rowBytes * picture.rows);
    for (size_t row = 0; row < picture.rows; ++row)
        for (size_t column = 0; column < picture.rowBytes; ++column)
            data[row * picture.rowBytes + column] = picture.byte(row, column);

    const std::vector<unsigned char> packed = imaging::deflateScanlines(data.data(), data.size(), picture.rowBytes);
    std::vector<unsigned char> back(data.size() + 1);
    uLongf backSize = static_cast<uLongf>(back.size());
    ASSERT_EQ(uncompress(back.data(), &backSize, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
    back.resize(backSize);
    EXPECT_EQ(back, data);
    if (picture.maxPackedPerRow != 0) {
        EXPECT_LE(packed.size(), picture.maxPackedPerRow * picture.rows + 16);
    }
    EXPECT_LE(packed.size(), data.size() + data.size() / 8 + 16) << "never much larger than the input";
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, FlatDeflateTest,
    testing::Values(Picture{"empty", 7, 0, allZero, 0}, Picture{"one_byte", 1, 1, allZero, 0},
                    Picture{"one_pixel", 4, 1, noise, 0}, Picture{"two_bytes_per_row", 2, 50, steps, 0},
                    Picture{"flat_1080p_rows", 1 + 3 * 1920, 1080, flatRows, 90},
                    Picture{"bands", 1 + 3 * 640, 480, bands, 120}, Picture{"noise", 1 + 3 * 97, 33, noise, 0},
                    Picture{"rows_too_long_to_reach", 1 + 3 * 12000, 4, flatRows, 0},
                    Picture{"rows_at_the_window", 32768, 3, bands, 0}, Picture{"all_zero", 1 + 3 * 300, 200, allZero, 16},
                    Picture{"runs_of_every_length", 1 + 3 * 400, 9, steps, 0}),
    [](const testing::TestParamInfo<Picture>& param) { return std::string(param.param.name); });

}  // namespace
