#include "video/gif_palette.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace video {

namespace {

constexpr uint32_t kRgb = 0x00FFFFFFu;

// Distinct colours in order of appearance; false once there are more than `limit`.
bool collectExactPalette(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t limit,
                         PalettedFrame& out) {
    std::unordered_map<uint32_t, uint8_t> slots;
    slots.reserve(static_cast<size_t>(limit) * 2);
    out.palette.clear();
    uint8_t* index = out.indices.data();
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<int64_t>(y) * stride;
        uint32_t last = ~0u;
        uint8_t lastSlot = 0;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t colour = row[x] & kRgb;
            // Flat triangles give long runs of one colour.
            if (colour != last) {
                auto found = slots.find(colour);
                if (found == slots.end()) {
                    if (static_cast<int32_t>(out.palette.size()) == limit) return false;
                    found = slots.emplace(colour, static_cast<uint8_t>(out.palette.size())).first;
                    out.palette.push_back(colour);
                }
                last = colour;
                lastSlot = found->second;
            }
            *index++ = lastSlot;
        }
    }
    return true;
}

// Colours are counted in 5-bit-per-channel cells; a box is a range of cells.
constexpr int kCellBits = 5;
constexpr int kCells = 1 << (3 * kCellBits);

int cellOf(int r, int g, int b) {
    return (r >> 3) << (2 * kCellBits) | (g >> 3) << kCellBits | (b >> 3);
}

struct Cell {
    uint32_t count = 0;
    uint64_t sum[3] = {0, 0, 0};
};

struct Box {
    int lo[3];
    int hi[3];  // inclusive, in cell units
    uint64_t count;
};

uint64_t countIn(const std::vector<Cell>& cells, const Box& box) {
    uint64_t total = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) total += cells[r << 10 | g << 5 | b].count;
    return total;
}

// Shrinks the box to the cells that hold colours.
void shrink(const std::vector<Cell>& cells, Box& box) {
    int lo[3] = {31, 31, 31};
    int hi[3] = {0, 0, 0};
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                if (cells[r << 10 | g << 5 | b].count == 0) continue;
                const int at[3] = {r, g, b};
                for (int c = 0; c < 3; ++c) {
                    lo[c] = std::min(lo[c], at[c]);
                    hi[c] = std::max(hi[c], at[c]);
                }
            }
    for (int c = 0; c < 3; ++c) {
        box.lo[c] = lo[c];
        box.hi[c] = hi[c];
    }
}

// Splits the box along its longest side where half its pixels lie on each side.
bool split(const std::vector<Cell>& cells, Box& box, Box& other) {
    int axis = 0;
    for (int c = 1; c < 3; ++c) {
        if (box.hi[c] - box.lo[c] > box.hi[axis] - box.lo[axis]) axis = c;
    }
    if (box.hi[axis] == box.lo[axis]) return false;
    uint64_t below = 0;
    int cut = box.lo[axis];
    for (; cut < box.hi[axis]; ++cut) {
        Box slice = box;
        slice.lo[axis] = slice.hi[axis] = cut;
        below += countIn(cells, slice);
        if (below * 2 >= box.count) break;
    }
    // Both end slices hold colours (the box is shrunk), so neither half is empty.
    cut = std::min(cut, box.hi[axis] - 1);
    other = box;
    box.hi[axis] = cut;
    other.lo[axis] = cut + 1;
    box.count = countIn(cells, box);
    other.count -= box.count;
    shrink(cells, box);
    shrink(cells, other);
    return true;
}

void medianCut(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t maxColours,
               bool dither, PalettedFrame& out) {
    std::vector<Cell> cells(kCells);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<int64_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            const int r = row[x] >> 16 & 0xFF, g = row[x] >> 8 & 0xFF, b = row[x] & 0xFF;
            Cell& cell = cells[cellOf(r, g, b)];
            ++cell.count;
            cell.sum[0] += r;
            cell.sum[1] += g;
            cell.sum[2] += b;
        }
    }

    std::vector<Box> boxes{{{0, 0, 0}, {31, 31, 31}, static_cast<uint64_t>(width) * height}};
    shrink(cells, boxes[0]);
    while (static_cast<int32_t>(boxes.size()) < maxColours) {
        // The box with the most pixels over the most cells is split next.
        size_t pick = boxes.size();
        uint64_t best = 0;
        for (size_t k = 0; k < boxes.size(); ++k) {
            const Box& box = boxes[k];
            const uint64_t volume = static_cast<uint64_t>(box.hi[0] - box.lo[0] + 1) * (box.hi[1] - box.lo[1] + 1) *
                                    (box.hi[2] - box.lo[2] + 1);
            if (volume > 1 && box.count * volume > best) {
                best = box.count * volume;
                pick = k;
            }
        }
        if (pick == boxes.size()) break;
        Box other{};
        if (!split(cells, boxes[pick], other)) break;
        boxes.push_back(other);
    }

    std::vector<uint8_t> cellSlot(kCells, 0);
    out.palette.clear();
    for (size_t k = 0; k < boxes.size(); ++k) {
        const Box& box = boxes[k];
        uint64_t count = 0, sum[3] = {0, 0, 0};
        for (int r = box.lo[0]; r <= box.hi[0]; ++r)
            for (int g = box.lo[1]; g <= box.hi[1]; ++g)
                for (int b = box.lo[2]; b <= box.hi[2]; ++b) {
                    const int at = r << 10 | g << 5 | b;
                    cellSlot[at] = static_cast<uint8_t>(k);
                    count += cells[at].count;
                    for (int c = 0; c < 3; ++c) sum[c] += cells[at].sum[c];
                }
        uint32_t colour = 0;
        for (int c = 0; c < 3; ++c) {
            const uint32_t mean = count ? static_cast<uint32_t>((sum[c] + count / 2) / count) : 0;
            colour = colour << 8 | mean;
        }
        out.palette.push_back(colour);
    }

    // Cells outside every box (reachable only through dithering) take the
    // nearest palette colour.
    std::vector<bool> covered(kCells, false);
    for (const Box& box : boxes)
        for (int r = box.lo[0]; r <= box.hi[0]; ++r)
            for (int g = box.lo[1]; g <= box.hi[1]; ++g)
                for (int b = box.lo[2]; b <= box.hi[2]; ++b) covered[r << 10 | g << 5 | b] = true;
    if (dither) {
        for (int at = 0; at < kCells; ++at) {
            if (covered[at]) continue;
            const int centre[3] = {(at >> 10 & 31) * 8 + 4, (at >> 5 & 31) * 8 + 4, (at & 31) * 8 + 4};
            int64_t best = INT64_MAX;
            for (size_t k = 0; k < out.palette.size(); ++k) {
                const uint32_t p = out.palette[k];
                const int d[3] = {centre[0] - static_cast<int>(p >> 16 & 0xFF),
                                  centre[1] - static_cast<int>(p >> 8 & 0xFF), centre[2] - static_cast<int>(p & 0xFF)};
                const int64_t distance = int64_t{d[0]} * d[0] + int64_t{d[1]} * d[1] + int64_t{d[2]} * d[2];
                if (distance < best) {
                    best = distance;
                    cellSlot[at] = static_cast<uint8_t>(k);
                }
            }
        }
    }

    // The pattern spreads over about one palette step in each channel.
    static const std::array<int, 16> kBayer = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    int spread = 256;
    for (int step = 1; step * step * step < maxColours; ++step) spread = 256 / (step + 1);
    uint8_t* index = out.indices.data();
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<int64_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            int r = row[x] >> 16 & 0xFF, g = row[x] >> 8 & 0xFF, b = row[x] & 0xFF;
            if (dither) {
                const int offset = (kBayer[(y & 3) * 4 + (x & 3)] * 2 - 15) * spread / 32;
                r = std::clamp(r + offset, 0, 255);
                g = std::clamp(g + offset, 0, 255);
                b = std::clamp(b + offset, 0, 255);
            }
            *index++ = cellSlot[cellOf(r, g, b)];
        }
    }
}

}  // namespace

void quantizeFrame(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t maxColours,
                   bool dither, PalettedFrame& out) {
    out.indices.resize(static_cast<size_t>(width) * height);
    maxColours = std::clamp(maxColours, 2, 256);
    if (collectExactPalette(pixels, width, height, stride, maxColours, out)) return;
    medianCut(pixels, width, height, stride, maxColours, dither, out);
}

}  // namespace video
