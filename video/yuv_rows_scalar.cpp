#include "video/yuv_coefficients.h"
#include "video/yuv_rows.h"

namespace video::yuv {

namespace {

int32_t red(uint32_t pixel) { return static_cast<int32_t>(pixel >> 16 & 0xFF); }
int32_t green(uint32_t pixel) { return static_cast<int32_t>(pixel >> 8 & 0xFF); }
int32_t blue(uint32_t pixel) { return static_cast<int32_t>(pixel & 0xFF); }

uint8_t luma(uint32_t pixel) {
    return static_cast<uint8_t>((kLumaR * red(pixel) + kLumaG * green(pixel) + kLumaB * blue(pixel) + kLumaOffset) >>
                                kLumaShift);
}

// Cb and Cr of a block whose four pixels sum to r, g, b.
void chroma(int32_t r, int32_t g, int32_t b, uint8_t& blueOut, uint8_t& redOut) {
    blueOut = static_cast<uint8_t>((kBlueR * r + kBlueG * g + kBlueB * b + kChromaOffset) >> kChromaShift);
    redOut = static_cast<uint8_t>((kRedR * r + kRedG * g + kRedB * b + kChromaOffset) >> kChromaShift);
}

void rowPair420(const uint32_t* row0, const uint32_t* row1, int32_t width, uint8_t* luma0, uint8_t* luma1,
                uint8_t* blueOut, uint8_t* redOut) {
    for (int32_t x = 0; x < width; x += 2) {
        const int32_t right = x + 1 < width ? x + 1 : x;
        const uint32_t block[4] = {row0[x], row0[right], row1[x], row1[right]};
        luma0[x] = luma(block[0]);
        luma0[x + 1] = luma(block[1]);
        luma1[x] = luma(block[2]);
        luma1[x + 1] = luma(block[3]);
        int32_t r = 0, g = 0, b = 0;
        for (uint32_t pixel : block) {
            r += red(pixel);
            g += green(pixel);
            b += blue(pixel);
        }
        chroma(r, g, b, blueOut[x / 2], redOut[x / 2]);
    }
}

void row444(const uint32_t* row, int32_t width, uint8_t* lumaOut, uint8_t* blueOut, uint8_t* redOut) {
    for (int32_t x = 0; x < width; ++x) {
        lumaOut[x] = luma(row[x]);
        chroma(4 * red(row[x]), 4 * green(row[x]), 4 * blue(row[x]), blueOut[x], redOut[x]);
    }
}

}  // namespace

const RowKernels kScalarKernels = {rowPair420, row444};

}  // namespace video::yuv
