#include "previewer/contact_sheet.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "font/glyph_table.h"
#include "font/text.h"

namespace previewer {

// Digits stand on the baseline: the label needs no room for descenders.
int32_t SheetLayout::cellHeight() const { return thumbnail.height + kLabelGap + font::kBaseline * kLabelScale; }

std::vector<int32_t> sheetFrameNumbers(int32_t frames, int32_t count) {
    std::vector<int32_t> numbers;
    if (frames <= 0 || count <= 0) return numbers;
    count = std::min(count, frames);
    if (count == 1) return {frames - 1};
    const int64_t span = frames - 1;
    for (int64_t j = 0; j < count; ++j) {
        numbers.push_back(static_cast<int32_t>((j * span + (count - 1) / 2) / (count - 1)));
    }
    return numbers;
}

SheetLayout layoutSheet(int32_t frameWidth, int32_t frameHeight, int32_t thumbnails) {
    SheetLayout layout;
    const int32_t count = std::max(thumbnails, 1);
    layout.columns = static_cast<int32_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    layout.rows = (count + layout.columns - 1) / layout.columns;
    layout.thumbnail =
        fitInto(frameWidth, frameHeight, SheetLayout::kThumbnailBox, SheetLayout::kThumbnailBox);
    return layout;
}

ContactSheet::ContactSheet(int32_t frameWidth, int32_t frameHeight, int32_t frames, int32_t thumbnails) {
    for (int32_t number : sheetFrameNumbers(frames, thumbnails)) cells_.push_back(Cell{number, false, Image()});
    layout_ = layoutSheet(frameWidth, frameHeight, static_cast<int32_t>(cells_.size()));
}

bool ContactSheet::wants(int32_t frameNumber) const {
    return std::any_of(cells_.begin(), cells_.end(),
                       [frameNumber](const Cell& cell) { return cell.frameNumber == frameNumber; });
}

void ContactSheet::add(int32_t frameNumber, const Image& frame, bool beat) {
    for (Cell& cell : cells_) {
        if (cell.frameNumber != frameNumber) continue;
        cell.thumbnail = scaleImage(frame, layout_.thumbnail);
        cell.beat = beat;
    }
}

Image ContactSheet::compose() const {
    Image sheet(layout_.sheetWidth(), layout_.sheetHeight(), SheetLayout::kBackground);
    for (size_t index = 0; index < cells_.size(); ++index) {
        const Cell& cell = cells_[index];
        const int32_t left = layout_.cellX(static_cast<int32_t>(index));
        const int32_t top = layout_.cellY(static_cast<int32_t>(index));
        for (int32_t y = 0; y < cell.thumbnail.height; ++y)
            for (int32_t x = 0; x < cell.thumbnail.width; ++x) sheet.at(left + x, top + y) = cell.thumbnail.at(x, y);

        const int32_t labelTop = top + layout_.thumbnail.height + SheetLayout::kLabelGap;
        const int32_t scale = SheetLayout::kLabelScale;
        const std::string number = std::to_string(cell.frameNumber);
        font::drawText(sheet.pixels.data(), sheet.width, sheet.height, left, labelTop, number.c_str(),
                       SheetLayout::kLabelColour, scale);
        if (cell.beat) {
            // A square the height of a digit, one digit's space after the number.
            const int32_t size = font::kBaseline * scale;
            const int32_t markLeft = left + font::textWidth((number + "0").c_str(), scale) + font::kSpacing * scale;
            for (int32_t y = 0; y < size; ++y)
                for (int32_t x = 0; x < size && markLeft + x < left + layout_.cellWidth(); ++x)
                    sheet.at(markLeft + x, labelTop + y) = SheetLayout::kBeatColour;
        }
    }
    return sheet;
}

}  // namespace previewer
