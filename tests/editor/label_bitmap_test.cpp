// The panel's label bitmaps as the build sets them from the font: format,
// size, palette, row padding, and the word turned counter-clockwise (the
// glyph grid of each word is written beside its bitmap).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Label {
    const char* word;  // file stem
    int32_t height;    // pixels; every label is 9 wide
};

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> readGlyphs(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

uint32_t u32(const std::vector<unsigned char>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}
uint16_t u16(const std::vector<unsigned char>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;
constexpr size_t kPalette = 8;
constexpr size_t kStride = 4;  // 9 bits, padded to a whole 32-bit word

class LabelBitmapTest : public testing::TestWithParam<Label> {
protected:
    void SetUp() override {
        const std::string word = GetParam().word;
        bmp = readFile(std::string(RT_LABEL_BITMAP_DIR) + "/label_" + word + ".bmp");
        glyphs = readGlyphs(std::string(RT_LABEL_BITMAP_DIR) + "/" + word + ".txt");
        const size_t pixels = kStride * static_cast<size_t>(GetParam().height);
        ASSERT_GE(bmp.size(), kFileHeader + kInfoHeader + kPalette + pixels) << "bitmap missing or truncated";
    }

    // Palette index of pixel (x, row), rows counted as stored: bottom row first.
    int pixel(int x, int storedRow) const {
        const unsigned char byte = bmp[kFileHeader + kInfoHeader + kPalette + storedRow * kStride + x / 8];
        return (byte >> (7 - x % 8)) & 1;
    }

    std::vector<unsigned char> bmp;
    std::vector<std::string> glyphs;
};

TEST_P(LabelBitmapTest, IsAnUncompressedOneBitDib) {
    const int32_t height = GetParam().height;
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(bmp, 10), kFileHeader + kInfoHeader + kPalette) << "pixels follow the palette";
    EXPECT_EQ(u32(bmp, 14), kInfoHeader);
    EXPECT_EQ(static_cast<int32_t>(u32(bmp, 18)), 9);
    EXPECT_EQ(static_cast<int32_t>(u32(bmp, 22)), height) << "positive: stored bottom row first";
    EXPECT_EQ(u16(bmp, 26), 1) << "planes";
    EXPECT_EQ(u16(bmp, 28), 1) << "bits per pixel";
    EXPECT_EQ(u32(bmp, 30), 0u) << "BI_RGB";
    EXPECT_EQ(u32(bmp, 46), 2u) << "palette entries";
}

TEST_P(LabelBitmapTest, PaletteIsBlackThenWhite) {
    const size_t palette = kFileHeader + kInfoHeader;
    const std::vector<unsigned char> entries(bmp.begin() + palette, bmp.begin() + palette + kPalette);
    EXPECT_EQ(entries, (std::vector<unsigned char>{0, 0, 0, 0, 255, 255, 255, 0}));
}

TEST_P(LabelBitmapTest, RowsArePaddedToFourBytes) {
    const size_t pixels = kStride * static_cast<size_t>(GetParam().height);
    EXPECT_EQ(u32(bmp, 34), pixels) << "image size";
    EXPECT_EQ(bmp.size(), kFileHeader + kInfoHeader + kPalette + pixels);
    EXPECT_EQ(u32(bmp, 2), bmp.size()) << "file size field";
}

TEST_P(LabelBitmapTest, HoldsBlackLetteringOnWhite) {
    int black = 0;
    for (int row = 0; row < GetParam().height; ++row) {
        for (int x = 0; x < 9; ++x) black += pixel(x, row) == 0;
    }
    EXPECT_GT(black, 0) << "no lettering";
    EXPECT_LT(black, 9 * GetParam().height / 2) << "lettering should be the minority";
}

// The grids show the words as they read, left to right. Turned a quarter turn
// counter-clockwise, the grid's first column becomes the bitmap's bottom row
// and its top line the bitmap's left column: stored bottom-up, the bitmap is
// the grid transposed.
TEST_P(LabelBitmapTest, IsTheGlyphGridTurnedCounterClockwise) {
    const int32_t height = GetParam().height;
    ASSERT_EQ(glyphs.size(), 9u) << "one grid line per bitmap column";
    for (const std::string& line : glyphs) ASSERT_EQ(static_cast<int32_t>(line.size()), height);
    for (int x = 0; x < 9; ++x) {
        for (int row = 0; row < height; ++row) {
            const int expected = glyphs[static_cast<size_t>(x)][static_cast<size_t>(row)] == '#' ? 0 : 1;
            EXPECT_EQ(pixel(x, row), expected) << "column " << x << ", stored row " << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Labels, LabelBitmapTest,
                         testing::Values(Label{"triangle", 38}, Label{"frame", 28}, Label{"init", 13},
                                         Label{"beat", 21}),
                         [](const testing::TestParamInfo<Label>& param) { return std::string(param.param.word); });

}  // namespace
