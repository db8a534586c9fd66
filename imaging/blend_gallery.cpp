// blend-gallery [out.png]: one panel per blend mode, each with the same
// orange triangle over the same gradient, so the modes can be compared side
// by side. The depth panel draws a blue triangle at z1 = 2 first; the orange
// one at z1 = 1 shows only where the blue is absent.
#include <cstdio>
#include <vector>

#include "font/text.h"
#include "frontend/version.h"
#include "imaging/png_writer.h"
#include "render/blend_selection.h"
#include "render/cpu_features.h"
#include "render/depth_buffer.h"
#include "render/frame_renderer.h"
#include "render/triangle_sink.h"

namespace {

constexpr int32_t kPanelWidth = 256;
constexpr int32_t kPanelHeight = 192;
constexpr int32_t kLabelHeight = 26;
constexpr int32_t kMargin = 8;
constexpr int32_t kColumns = 4;
constexpr int32_t kRows = 3;
constexpr uint32_t kPageColour = 0x00202020u;

struct Panel {
    const char* label;
    uint32_t blendWord;
    bool depth;
    bool plainVariant;
};

const Panel kPanels[kColumns * kRows] = {
    {"0 REPLACE", 0, false, false},        {"1 ADDITIVE", 1, false, false},
    {"2 MAXIMUM", 2, false, false},        {"3 AVERAGE", 3, false, false},
    {"3 AVERAGE, PLAIN", 3, false, true},  {"4 SUBTRACT COLOUR", 4, false, false},
    {"5 SUBTRACT PIXEL", 5, false, false}, {"6 MULTIPLY", 6, false, false},
    {"7 MIX R=128", 0x8007, false, false}, {"8 XOR", 8, false, false},
    {"9 MINIMUM", 9, false, false},        {"DEPTH", 0, true, false},
};

// Red grows to the right, blue downward; the fourth byte is set so that the
// modes that touch it show no difference from those that don't.
std::vector<uint32_t> gradient() {
    std::vector<uint32_t> pixels(static_cast<size_t>(kPanelWidth) * kPanelHeight);
    for (int32_t y = 0; y < kPanelHeight; ++y) {
        for (int32_t x = 0; x < kPanelWidth; ++x) {
            const uint32_t red = static_cast<uint32_t>(x * 255 / (kPanelWidth - 1));
            const uint32_t blue = static_cast<uint32_t>(y * 255 / (kPanelHeight - 1));
            pixels[static_cast<size_t>(y) * kPanelWidth + x] = 0x80000000u | red << 16 | 0x5A00u | blue;
        }
    }
    return pixels;
}

std::vector<uint32_t> renderPanel(const Panel& panel) {
    std::vector<uint32_t> pixels = gradient();
    const render::Frame frame = {pixels.data(), kPanelWidth, kPanelHeight};
    const bool savedFlag = render::extendedByteOps();
    if (panel.plainVariant) render::setExtendedByteOps(false);
    render::resetPixelOpSelection();

    render::TriangleSink& sink = render::frameRenderer();
    sink.chooseMode(frame, panel.depth, true, &panel.blendWord);
    sink.beginTriangles(frame);
    if (panel.depth) sink.drawTriangle({-0.95, -0.1, 0.35, -0.95, 0.15, 0.95, 0.15, 0.35, 1.0, 2.0});
    sink.drawTriangle({-0.8, 0.8, 0.0, -0.85, 0.85, 0.6, 1.0, 0.55, 0.1, 1.0});

    render::setExtendedByteOps(savedFlag);
    render::resetPixelOpSelection();
    return pixels;
}

}  // namespace

int main(int argc, char** argv) {
    if (frontend::printVersionIfAsked(argc, argv, "blend-gallery")) return 0;
    const char* out = argc > 1 ? argv[1] : "blend-modes.png";
    render::refreshCpuFlag();
    const int32_t width = kColumns * kPanelWidth + (kColumns + 1) * kMargin;
    const int32_t height = kRows * (kPanelHeight + kLabelHeight) + (kRows + 1) * kMargin;
    std::vector<uint32_t> page(static_cast<size_t>(width) * height, kPageColour);

    for (int32_t index = 0; index < kColumns * kRows; ++index) {
        const Panel& panel = kPanels[index];
        const int32_t left = kMargin + (index % kColumns) * (kPanelWidth + kMargin);
        const int32_t top = kMargin + (index / kColumns) * (kPanelHeight + kLabelHeight + kMargin);
        font::drawText(page.data(), width, height, left + 2, top + 5, panel.label, 0x00F0F0F0u, 2);
        const std::vector<uint32_t> pixels = renderPanel(panel);
        for (int32_t y = 0; y < kPanelHeight; ++y)
            for (int32_t x = 0; x < kPanelWidth; ++x)
                page[static_cast<size_t>(top + kLabelHeight + y) * width + left + x] =
                    pixels[static_cast<size_t>(y) * kPanelWidth + x];
    }
    render::releaseSharedDepth();

    if (!imaging::writePng(out, page.data(), width, height)) {
        std::fprintf(stderr, "blend-gallery: cannot write %s\n", out);
        return 1;
    }
    std::printf("%s: %dx%d\n", out, width, height);
    return 0;
}
