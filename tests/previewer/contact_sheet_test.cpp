// The contact sheet: which frames it shows, how frames shrink into
// thumbnails, where they land and how they are labelled.
#include <gtest/gtest.h>

#include <vector>

#include "previewer/contact_sheet.h"
#include "previewer/thumbnail.h"

namespace {

using previewer::ContactSheet;
using previewer::Extent;
using previewer::Image;
using previewer::SheetLayout;

struct NumbersCase {
    int32_t frames;
    int32_t count;
    std::vector<int32_t> expected;
};

class SheetFrames : public testing::TestWithParam<NumbersCase> {};

TEST_P(SheetFrames, AreEvenlySpacedFromFirstToLast) {
    EXPECT_EQ(previewer::sheetFrameNumbers(GetParam().frames, GetParam().count), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SheetFrames,
                         testing::Values(NumbersCase{120, 4, {0, 40, 79, 119}},
                                         NumbersCase{7, 7, {0, 1, 2, 3, 4, 5, 6}},
                                         NumbersCase{3, 16, {0, 1, 2}},   // fewer frames than thumbnails
                                         NumbersCase{10, 1, {9}},         // one thumbnail: the last frame
                                         NumbersCase{1, 16, {0}},
                                         NumbersCase{121, 5, {0, 30, 60, 90, 120}}));

struct FitCase {
    int32_t width, height, box;
    Extent expected;
};

class Fit : public testing::TestWithParam<FitCase> {};

TEST_P(Fit, KeepsProportionsInsideTheBox) {
    const FitCase& c = GetParam();
    const Extent got = previewer::fitInto(c.width, c.height, c.box, c.box);
    EXPECT_EQ(got.width, c.expected.width);
    EXPECT_EQ(got.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(Cases, Fit,
                         testing::Values(FitCase{640, 360, 240, {240, 135}}, FitCase{360, 640, 240, {135, 240}},
                                         FitCase{10, 10, 240, {240, 240}},       // small frames are enlarged
                                         FitCase{16384, 1, 240, {240, 1}}));      // never below one pixel

TEST(Thumbnail, AveragesTheCoveredBlockPerChannel) {
    Image source(4, 2, 0);
    // Left 2x2 block: red 0, 100, 200, 100 (average 100); blue 10 everywhere.
    source.at(0, 0) = 0x0000000A;
    source.at(1, 0) = 0x0064000A;
    source.at(0, 1) = 0x00C8000A;
    source.at(1, 1) = 0x0064000A;
    // Right block: green 255 and 0 twice (average 127.5 rounds up to 128); top byte dropped.
    source.at(2, 0) = 0xFF00FF00;
    source.at(3, 0) = 0xFF000000;
    source.at(2, 1) = 0xFF00FF00;
    source.at(3, 1) = 0xFF000000;
    const Image small = previewer::scaleImage(source, {2, 1});
    EXPECT_EQ(small.at(0, 0), 0x0064000Au);
    EXPECT_EQ(small.at(1, 0), 0x00008000u);
}

TEST(Thumbnail, EnlargesByRepeatingPixels) {
    Image source(2, 1, 0);
    source.at(0, 0) = 0x00112233;
    source.at(1, 0) = 0x00445566;
    const Image big = previewer::scaleImage(source, {4, 2});
    for (int32_t y = 0; y < 2; ++y) {
        EXPECT_EQ(big.at(0, y), 0x00112233u);
        EXPECT_EQ(big.at(1, y), 0x00112233u);
        EXPECT_EQ(big.at(2, y), 0x00445566u);
        EXPECT_EQ(big.at(3, y), 0x00445566u);
    }
}

TEST(ContactSheet, LaysThumbnailsOutRowByRowWithLabels) {
    // Four 8x4 frames of distinct colours, two thumbnails per row.
    ContactSheet sheet(8, 4, 4, 4);
    const uint32_t colours[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFF00};
    for (int32_t k = 0; k < 4; ++k) {
        ASSERT_TRUE(sheet.wants(k));
        sheet.add(k, Image(8, 4, colours[k] | 0xAA000000u), k == 3);
    }
    EXPECT_FALSE(sheet.wants(4));

    const SheetLayout layout = previewer::layoutSheet(8, 4, 4);
    ASSERT_EQ(layout.columns, 2);
    ASSERT_EQ(layout.rows, 2);
    const Image image = sheet.compose();
    ASSERT_EQ(image.width, layout.sheetWidth());
    ASSERT_EQ(image.height, layout.sheetHeight());
    EXPECT_EQ(image.at(0, 0), SheetLayout::kBackground);

    for (int32_t k = 0; k < 4; ++k) {
        const int32_t x = layout.cellX(k);
        const int32_t y = layout.cellY(k);
        EXPECT_EQ(image.at(x, y), colours[k]) << "thumbnail " << k << " top-left, fourth byte dropped";
        EXPECT_EQ(image.at(x + layout.thumbnail.width - 1, y + layout.thumbnail.height - 1), colours[k]);
        EXPECT_EQ(image.at(x + layout.thumbnail.width, y), SheetLayout::kBackground) << "gap after thumbnail " << k;
        // The label is the frame number in the font; the leftmost pixel of
        // its glyph's second row is lit for 0 and 2 but not for 1 and 3.
        const int32_t labelY = y + layout.thumbnail.height + SheetLayout::kLabelGap;
        const bool lit = k == 0 || k == 2;
        EXPECT_EQ(image.at(x, labelY + SheetLayout::kLabelScale) == SheetLayout::kLabelColour, lit)
            << "label of " << k;
    }
    // Frame 3 was a beat: its mark follows the single digit (4 wide) after
    // one digit's space (a blank column, 4 more and another).
    constexpr int32_t kMarkColumn = 4 + 1 + 4 + 1;
    const int32_t labelY = layout.cellY(3) + layout.thumbnail.height + SheetLayout::kLabelGap;
    const int32_t markX = layout.cellX(3) + kMarkColumn * SheetLayout::kLabelScale;
    EXPECT_EQ(image.at(markX, labelY), SheetLayout::kBeatColour);
    EXPECT_EQ(image.at(markX - 1, labelY), SheetLayout::kBackground) << "the mark starts there";
    const int32_t frame2MarkX = layout.cellX(2) + kMarkColumn * SheetLayout::kLabelScale;
    EXPECT_EQ(image.at(frame2MarkX, layout.cellY(2) + layout.thumbnail.height + SheetLayout::kLabelGap),
              SheetLayout::kBackground)
        << "no mark on a frame that was not a beat";
}

TEST(ContactSheet, SixteenThumbnailsMakeAFourByFourGrid) {
    const SheetLayout layout = previewer::layoutSheet(640, 360, 16);
    EXPECT_EQ(layout.columns, 4);
    EXPECT_EQ(layout.rows, 4);
    const SheetLayout twelve = previewer::layoutSheet(640, 360, 12);
    EXPECT_EQ(twelve.columns, 4);
    EXPECT_EQ(twelve.rows, 3);
}

}  // namespace
