// A grid of evenly spaced frames, each labelled with its frame number (and a
// mark when it was a beat frame), collected while the frames are rendered.
#pragma once

#include <cstdint>
#include <vector>

#include "previewer/image.h"
#include "previewer/thumbnail.h"

namespace previewer {

struct SheetLayout {
    static constexpr int32_t kThumbnailBox = 240;
    static constexpr int32_t kMargin = 12;
    static constexpr int32_t kGap = 12;
    static constexpr int32_t kLabelScale = 2;
    static constexpr int32_t kLabelGap = 4;  // between a thumbnail and its label
    static constexpr int32_t kMinCellWidth = 64;  // room for a label under a thin frame
    static constexpr uint32_t kBackground = 0x00202226u;
    static constexpr uint32_t kLabelColour = 0x00D8D8D8u;
    static constexpr uint32_t kBeatColour = 0x00FFB020u;

    int32_t columns = 1;
    int32_t rows = 1;
    Extent thumbnail{1, 1};

    int32_t cellWidth() const { return thumbnail.width > kMinCellWidth ? thumbnail.width : kMinCellWidth; }
    int32_t cellHeight() const;
    int32_t sheetWidth() const { return 2 * kMargin + columns * cellWidth() + (columns - 1) * kGap; }
    int32_t sheetHeight() const { return 2 * kMargin + rows * cellHeight() + (rows - 1) * kGap; }
    // Top-left corner of the thumbnail in cell `index` (row by row).
    int32_t cellX(int32_t index) const { return kMargin + (index % columns) * (cellWidth() + kGap); }
    int32_t cellY(int32_t index) const { return kMargin + (index / columns) * (cellHeight() + kGap); }
};

// `count` frame numbers from 0 to frames - 1, evenly spaced, first and last
// included (the last alone when count is 1); fewer when there are fewer frames.
std::vector<int32_t> sheetFrameNumbers(int32_t frames, int32_t count);

SheetLayout layoutSheet(int32_t frameWidth, int32_t frameHeight, int32_t thumbnails);

class ContactSheet {
public:
    ContactSheet(int32_t frameWidth, int32_t frameHeight, int32_t frames, int32_t thumbnails);

    bool wants(int32_t frameNumber) const;
    // Keeps only the thumbnail, so a long run costs no more memory than a short one.
    void add(int32_t frameNumber, const Image& frame, bool beat);
    Image compose() const;

private:
    struct Cell {
        int32_t frameNumber;
        bool beat = false;
        Image thumbnail;
    };
    SheetLayout layout_;
    std::vector<Cell> cells_;
};

}  // namespace previewer
