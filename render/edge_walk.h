// One triangle edge stepped row by row: the same truncated columns as
// edgeColumn (render/scanline_fill.h), carried as quotient and remainder so
// that a row costs an add and a compare instead of a 64-bit divide.
#pragma once

#include <cstdint>

#include "render/triangle_setup.h"

namespace render {

class EdgeWalk {
public:
    // The edge from `from` to `to` (from.y < to.y), positioned on row
    // from.y + walked, 0 < walked <= to.y − from.y.
    EdgeWalk(PixelVertex from, PixelVertex to, uint32_t walked) {
        const int64_t run = static_cast<int64_t>(to.x) - from.x;
        const uint32_t magnitude = static_cast<uint32_t>(run < 0 ? -run : run);  // below 2^32
        rise_ = static_cast<uint32_t>(static_cast<int64_t>(to.y) - from.y);
        stepWhole_ = magnitude / rise_;
        stepPart_ = magnitude % rise_;
        negative_ = run < 0;
        fromX_ = from.x;
        if (walked == 1) {
            whole_ = stepWhole_;
            part_ = stepPart_;
        } else {
            // Clipped at the top: once per edge, not per row.
            const uint64_t product = static_cast<uint64_t>(magnitude) * walked;
            whole_ = static_cast<uint32_t>(product / rise_);
            part_ = static_cast<uint32_t>(product % rise_);
        }
    }

    // The column on the current row: it lies between from.x and to.x.
    int32_t column() const {
        return static_cast<int32_t>(negative_ ? fromX_ - static_cast<int64_t>(whole_) : fromX_ + static_cast<int64_t>(whole_));
    }

    // On to the next row: magnitude × walked / rise grows by the step's
    // quotient, and by one more when the remainders pass the rise.
    void next() {
        whole_ += stepWhole_;
        if (part_ >= rise_ - stepPart_) {
            part_ -= rise_ - stepPart_;
            ++whole_;
        } else {
            part_ += stepPart_;
        }
    }

private:
    int64_t fromX_;
    uint32_t rise_, stepWhole_, stepPart_, whole_, part_;
    bool negative_;
};

}  // namespace render
