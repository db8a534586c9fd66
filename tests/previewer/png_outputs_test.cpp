// The PNG outputs: every frame in --frames-dir, the last one in --out and the
// contact sheet, checked against the raw frame and the sheet's layout.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "previewer/contact_sheet.h"
#include "previewer/png_file.h"
#include "scratch_dir.h"
#include "tool_runner.h"

namespace {

const char* const kMovingTriangle =
    "[init]\nt = 0\n[frame]\nn = 1; t = t + 0.1\n[triangle]\n"
    "x1 = -1 + t; y1 = -1; x2 = 1; y2 = -0.5 + t; x3 = -0.8; y3 = 1; red1 = t; green1 = 0.5; blue1 = 1 - t\n";

// Width and height from a PNG's header chunk, which follows the 8-byte signature.
bool pngSize(const std::string& bytes, uint32_t& width, uint32_t& height) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return false;
    const auto word = [&bytes](size_t at) {
        uint32_t value = 0;
        for (size_t k = 0; k < 4; ++k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
        return value;
    };
    width = word(16);
    height = word(20);
    return true;
}

// The PNG the project's writer makes of these pixels.
std::string pngOf(const std::vector<uint32_t>& words, int32_t width, int32_t height, const ScratchDir& dir) {
    previewer::Image image(width, height, 0);
    image.pixels = words;
    std::string error;
    const std::string path = dir.file("reference.png");
    EXPECT_TRUE(previewer::savePngFile(path, image, error)) << error;
    const std::string bytes = readFile(path);
    std::remove(path.c_str());
    return bytes;
}

TEST(PngOutputs, EveryFrameIsWrittenAndTheLastMatchesTheRawFrame) {
    ScratchDir dir;
    dir.write("p.preset", kMovingTriangle);
    const ToolRun run = runTool({"--size", "24x16", "--frames", "5", "--frames-dir", "frames", "--out", "last.png",
                                 "p.preset"},
                                dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(runTool({"--size", "24x16", "--frames", "5", "--out", "last.bgra", "p.preset"}, dir.path()).exitCode, 0);

    const std::vector<std::string> expected = {"frame-0000.png", "frame-0001.png", "frame-0002.png", "frame-0003.png",
                                               "frame-0004.png"};
    for (const std::string& name : expected) {
        const std::string bytes = readFile(dir.file("frames/" + name));
        uint32_t width = 0;
        uint32_t height = 0;
        ASSERT_TRUE(pngSize(bytes, width, height)) << name;
        EXPECT_EQ(width, 24u);
        EXPECT_EQ(height, 16u);
    }
    EXPECT_NE(readFile(dir.file("frames/frame-0000.png")), readFile(dir.file("frames/frame-0004.png")))
        << "the triangle moves, so the frames differ";

    const std::string reference = pngOf(readBgra(dir.file("last.bgra")), 24, 16, dir);
    EXPECT_EQ(readFile(dir.file("frames/frame-0004.png")), reference);
    EXPECT_EQ(readFile(dir.file("last.png")), reference);
}

TEST(PngOutputs, SheetHasTheLayoutsSize) {
    ScratchDir dir;
    dir.write("p.preset", kMovingTriangle);
    const ToolRun run = runTool({"--size", "64x36", "--frames", "30", "--sheet-count", "12", "--sheet", "sheet.png",
                                 "p.preset"},
                                dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const previewer::SheetLayout layout = previewer::layoutSheet(64, 36, 12);
    uint32_t width = 0;
    uint32_t height = 0;
    ASSERT_TRUE(pngSize(readFile(dir.file("sheet.png")), width, height));
    EXPECT_EQ(width, static_cast<uint32_t>(layout.sheetWidth()));
    EXPECT_EQ(height, static_cast<uint32_t>(layout.sheetHeight()));
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"p.preset", "sheet.png"}));
}

}  // namespace
