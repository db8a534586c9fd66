// The font as the C++ code sees it: the glyph table generated from
// font/glyphs.txt, and text drawn from it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "font/glyph_table.h"
#include "font/text.h"

namespace {

struct CharacterSet {
    const char* name;
    const char* characters;
};

class PromisedCharacters : public testing::TestWithParam<CharacterSet> {};

TEST_P(PromisedCharacters, AllHaveGlyphs) {
    for (const char* c = GetParam().characters; *c != '\0'; ++c) {
        const font::Glyph* glyph = font::findGlyph(*c);
        ASSERT_NE(glyph, nullptr) << "no glyph for '" << *c << "'";
        EXPECT_EQ(glyph->character, *c);
    }
}

// What text in pictures has always been able to show, and lower case since
// the labels' letters joined the font.
INSTANTIATE_TEST_SUITE_P(Sets, PromisedCharacters,
                         testing::Values(CharacterSet{"capitals", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
                                         CharacterSet{"lower_case", "abcdefghijklmnopqrstuvwxyz"},
                                         CharacterSet{"digits", "0123456789"},
                                         CharacterSet{"punctuation", " .,:;-=+*/_()[]<>!?'%&|^#"}),
                         [](const testing::TestParamInfo<CharacterSet>& param) {
                             return std::string(param.param.name);
                         });

TEST(GlyphTable, IsSortedWithEveryGlyphInsideItsWidth) {
    char previous = '\0';
    for (const font::Glyph* glyph = font::glyphsBegin(); glyph != font::glyphsEnd(); ++glyph) {
        EXPECT_GT(glyph->character, previous) << "sorted, each character once";
        previous = glyph->character;
        ASSERT_GE(glyph->width, 1) << glyph->character;
        ASSERT_LE(glyph->width, 16) << glyph->character;
        const uint32_t outside = 0xFFFFu >> glyph->width;
        for (uint16_t row : glyph->rows) EXPECT_EQ(row & outside, 0u) << "ink beyond the width of " << glyph->character;
    }
    EXPECT_EQ(font::findGlyph('~'), nullptr);
}

TEST(GlyphTable, DigitsShareOneWidthSoNumbersLineUp) {
    for (char digit = '0'; digit <= '9'; ++digit) EXPECT_EQ(font::findGlyph(digit)->width, font::findGlyph('0')->width);
}

struct DrawCase {
    const char* name;
    const char* text;
    int32_t x, y, scale;
    std::vector<std::string> expected;  // the whole picture, '#' where the text is drawn
};

class DrawnText : public testing::TestWithParam<DrawCase> {};

TEST_P(DrawnText, MatchesTheGlyphGrids) {
    const DrawCase& c = GetParam();
    const int32_t width = static_cast<int32_t>(c.expected[0].size());
    const int32_t height = static_cast<int32_t>(c.expected.size());
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height), 0);
    font::drawText(pixels.data(), width, height, c.x, c.y, c.text, 0x00FFFFFF, c.scale);
    for (int32_t y = 0; y < height; ++y) {
        std::string row;
        for (int32_t x = 0; x < width; ++x) row += pixels[static_cast<size_t>(y * width + x)] != 0 ? '#' : '.';
        EXPECT_EQ(row, c.expected[static_cast<size_t>(y)]) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawnText,
    testing::Values(
        // The labels' F and r, one blank column apart, the cell's two descender rows empty.
        DrawCase{"capital_and_lower_case", "Fr", 1, 0, 1,
                 {".####.....", ".#........", ".#....#.##", ".###..##..", ".#....#...", ".#....#...", ".#....#...",
                  "..........", ".........."}},
        // g reaches into the descender rows; an unknown character is a space's width of nothing.
        DrawCase{"descender_and_unknown", "g~1", 0, 0, 1,
                 {"...........#.", "..........##.", ".###.......#.", "#..#.......#.", "#..#.......#.",
                  "#..#.......#.", ".###......###", "...#.........", "###.........."}},
        // Doubled, and clipped at the left and top edges: the 7 from its third row and second column.
        DrawCase{"scaled_and_clipped", "7", -2, -4, 2,
                 {"....##", "....##", "..##..", "..##..", "##....", "##....", "##...."}}),
    [](const testing::TestParamInfo<DrawCase>& param) { return std::string(param.param.name); });

struct WidthCase {
    const char* text;
    int32_t scale;
    int32_t width;
};

class TextWidth : public testing::TestWithParam<WidthCase> {};

TEST_P(TextWidth, IsTheGlyphsAndTheGapsBetweenThem) {
    EXPECT_EQ(font::textWidth(GetParam().text, GetParam().scale), GetParam().width) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextWidth,
                         testing::Values(WidthCase{"", 3, 0}, WidthCase{"I", 1, 1}, WidthCase{"Init", 2, 24},
                                         WidthCase{"M.", 1, 7}, WidthCase{"a~b", 1, 13}));

TEST(TextWidth, WidestAdvanceBoundsAnyLine) {
    const std::string line = "MW#%&Tm wvx";
    EXPECT_LE(font::textWidth(line.c_str(), 1), static_cast<int32_t>(line.size()) * font::widestAdvance());
    EXPECT_EQ(font::widestAdvance(), 6);
}

}  // namespace
