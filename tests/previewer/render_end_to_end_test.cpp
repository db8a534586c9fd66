// Runs the built tool on small presets and checks pixels of its raw output
// against coverage and blend results worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scratch_dir.h"
#include "tool_runner.h"

namespace {

constexpr int kSide = 10;

// Vertices (-1,-1), (1,-1), (-1,1) on a 10 x 10 frame map to pixels (0,0),
// (9,0), (0,9): a flat top, so row 0 stays untouched, and row y = 1..9 is
// covered from column 0 up to, not including, column 9 - y.
bool inCornerTriangle(int x, int y) { return y >= 1 && x < kSide - 1 - y; }

const char* const kCornerTriangle = "x1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1;";

// Reaches past the top and right of the frame: every row is covered, and
// every column but the last, which the fill never writes.
const char* const kWholeFrameTriangle = "x1 = -1; y1 = -3; x2 = 5; y2 = -3; x3 = -1; y3 = 5;";

std::string preset(const std::string& frame, const std::string& triangle, const std::string& beat = "",
                   const std::string& init = "") {
    return "[init]\n" + init + "\n[frame]\n" + frame + "\n[beat]\n" + beat + "\n[triangle]\n" + triangle + "\n";
}

class RenderEndToEnd : public testing::Test {
protected:
    // Renders `presets` (written to p0.preset, p1.preset ...) and returns the
    // last frame's words.
    std::vector<uint32_t> render(const std::vector<std::string>& presets, std::vector<std::string> options) {
        std::vector<std::string> args = {"--size", "10x10", "--out", "last.bgra"};
        args.insert(args.end(), options.begin(), options.end());
        for (size_t k = 0; k < presets.size(); ++k) {
            const std::string name = "p" + std::to_string(k) + ".preset";
            dir.write(name, presets[k]);
            args.push_back(name);
        }
        const ToolRun run = runTool(args, dir.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "") << "a clean run prints nothing (no terminal, no problems)";
        const std::vector<uint32_t> words = readBgra(dir.file("last.bgra"));
        EXPECT_EQ(words.size(), static_cast<size_t>(kSide * kSide));
        if (words.size() != static_cast<size_t>(kSide * kSide)) return std::vector<uint32_t>(kSide * kSide, 0xDEADBEEF);
        return words;
    }

    ScratchDir dir;
};

TEST_F(RenderEndToEnd, SingleTriangleCoversExactlyItsRows) {
    const std::vector<uint32_t> frame =
        render({preset("n = 1", kCornerTriangle)}, {"--frames", "1", "--fill", "0xFF102030"});
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            // Replace writes the packed colour, whose top byte is 0.
            const uint32_t expected = inCornerTriangle(x, y) ? 0x00FFFFFFu : 0xFF102030u;
            EXPECT_EQ(frame[static_cast<size_t>(y * kSide + x)], expected) << "x=" << x << " y=" << y;
        }
    }
}

TEST_F(RenderEndToEnd, RawOutputIsLittleEndianRowZeroFirst) {
    dir.write("p.preset", preset("n = 1", kCornerTriangle));
    const ToolRun run =
        runTool({"--size", "10x10", "--frames", "1", "--fill", "0x11223344", "--out", "f.bgra", "p.preset"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string bytes = readFile(dir.file("f.bgra"));
    ASSERT_EQ(bytes.size(), 10u * 10u * 4u) << "width x height x 4 bytes and nothing else";
    const std::string fill = "\x44\x33\x22\x11";
    const std::string white = std::string("\xFF\xFF\xFF\x00", 4);
    // Row 0 (first in the file) is the triangle's flat top: all fill. Row 1
    // is covered up to column 8, exclusive; stored bottom-up it would be
    // row 8, with only column 0 covered.
    for (size_t x = 0; x < 10; ++x) EXPECT_EQ(bytes.substr(x * 4, 4), fill) << "row 0, x=" << x;
    for (size_t x = 0; x < 10; ++x) EXPECT_EQ(bytes.substr(40 + x * 4, 4), x < 8 ? white : fill) << "row 1, x=" << x;
}

struct BlendCase {
    const char* name;
    const char* blend;
    const char* fill;
    const char* colour;   // triangle-section assignments
    uint32_t expected;    // inside the triangle
    bool quiet = false;
};

class BlendEndToEnd : public RenderEndToEnd, public testing::WithParamInterface<BlendCase> {};

TEST_P(BlendEndToEnd, CoveredPixelsBlendOverTheFill) {
    const BlendCase& c = GetParam();
    const std::vector<uint32_t> frame = render({preset("n = 1", std::string(kCornerTriangle) + c.colour)},
                                               {"--frames", "1", "--blend", c.blend, "--fill", c.fill,
                                                c.quiet ? "--quiet" : "--frames=1"});
    const uint32_t fill = static_cast<uint32_t>(std::stoul(c.fill, nullptr, 16));
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            EXPECT_EQ(frame[static_cast<size_t>(y * kSide + x)], inCornerTriangle(x, y) ? c.expected : fill)
                << "x=" << x << " y=" << y;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BlendEndToEnd,
    testing::Values(
        // Colour (0.5, 0.25, 1) packs to 80 40 FF (127.5 rounds to even 128).
        // Additive saturates per byte; the fill's top byte plus 0 stays.
        BlendCase{"Additive", "1", "0x7F204060", "red1 = 0.5; green1 = 0.25; blue1 = 1;", 0x7FA080FFu},
        // (d * 128 + 255 * 127) >> 8 per byte, the top byte (colour 0) gives
        // 0x40 * 128 >> 8 = 0x20: R (128*128 + 32385) >> 8 = 190, G (64*128 +
        // 32385) >> 8 = 158, B (32*128 + 32385) >> 8 = 142.
        BlendCase{"MixHalf", "7:128", "0x40804020", "", 0x20BE9E8Eu},
        // Ratio 255: d * 255 >> 8, just below the old pixel.
        BlendCase{"MixRatioFull", "7:255", "0x40804020", "", 0x3F7F3F1Fu},
        BlendCase{"Xor", "8", "0xAA0F0F0F", "red1 = 1; green1 = 0; blue1 = 1;", 0xAAF00FF0u},
        // Host modes outside 0-9 draw nothing (and say so, unless --quiet).
        BlendCase{"UnknownModeDrawsNothing", "12", "0x01020304", "", 0x01020304u, true}),
    [](const testing::TestParamInfo<BlendCase>& testCase) { return std::string(testCase.param.name); });

// Two instances share one depth buffer: the first clears it and draws the
// corner triangle at z1 = 0.5; the second draws the whole frame at depth z and
// shows only where its depth is at least what the first left there.
struct DepthCase {
    const char* name;
    const char* secondZ;
    bool secondWinsInCorner;
};

class DepthEndToEnd : public RenderEndToEnd, public testing::WithParamInterface<DepthCase> {};

TEST_P(DepthEndToEnd, SecondInstanceIsTestedAgainstTheFirstsDepths) {
    const DepthCase& c = GetParam();
    const std::string first = preset("n = 1; zbuf = 1; zbclear = 1",
                                     std::string(kCornerTriangle) + "z1 = 0.5; red1 = 1; green1 = 0; blue1 = 0;");
    const std::string second =
        preset("n = 1; zbuf = 1; zbclear = 0",
               std::string(kWholeFrameTriangle) + "z1 = " + c.secondZ + "; red1 = 0; green1 = 0; blue1 = 1;");
    // --blend 8 proves the depth mode ignores the host's blend mode.
    const std::vector<uint32_t> frame =
        render({first, second}, {"--frames", "1", "--blend", "8", "--fill", "0x00333333"});
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            uint32_t expected = 0x000000FFu;
            if (x == kSide - 1) expected = 0x00333333u;
            else if (inCornerTriangle(x, y) && !c.secondWinsInCorner) expected = 0x00FF0000u;
            EXPECT_EQ(frame[static_cast<size_t>(y * kSide + x)], expected) << "x=" << x << " y=" << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, DepthEndToEnd,
                         testing::Values(DepthCase{"Behind", "0.25", false}, DepthCase{"SameDepthDraws", "0.5", true},
                                         DepthCase{"InFront", "0.75", true}),
                         [](const testing::TestParamInfo<DepthCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(RenderEndToEnd, PresetOrderDecidesWhoClearsTheDepthBuffer) {
    // Same two presets as above with the second behind, given the other way
    // round: the whole-frame one clears and draws at 0.25 first, and the
    // corner one (z 0.5, not clearing) is in front of it.
    const std::string corner = preset("n = 1; zbuf = 1; zbclear = 0",
                                      std::string(kCornerTriangle) + "z1 = 0.5; red1 = 1; green1 = 0; blue1 = 0;");
    const std::string whole = preset("n = 1; zbuf = 1; zbclear = 1",
                                     std::string(kWholeFrameTriangle) + "z1 = 0.25; red1 = 0; green1 = 0; blue1 = 1;");
    const std::vector<uint32_t> frame = render({whole, corner}, {"--frames", "1"});
    EXPECT_EQ(frame[1 * kSide + 0], 0x00FF0000u);
    EXPECT_EQ(frame[9 * kSide + 5], 0x000000FFu);
}

struct BeatCase {
    const char* name;
    std::vector<std::string> options;
    uint32_t beats;  // beat frames among those rendered
};

class BeatEndToEnd : public RenderEndToEnd, public testing::WithParamInterface<BeatCase> {};

TEST_P(BeatEndToEnd, BeatSectionRunsOnEveryKthFrameFromZero) {
    // The red byte of the last frame counts the beats seen (c / 255 packs to c).
    const std::vector<uint32_t> frame = render(
        {preset("n = 1", std::string(kWholeFrameTriangle) + "red1 = c / 255; green1 = 0; blue1 = 0;", "c = c + 1",
                "c = 0")},
        GetParam().options);
    EXPECT_EQ(frame[5 * kSide + 5], GetParam().beats << 16);
}

INSTANTIATE_TEST_SUITE_P(
    Spacing, BeatEndToEnd,
    testing::Values(BeatCase{"NoBeatsByDefault", {"--frames", "3"}, 0},
                    BeatCase{"ZeroMeansNone", {"--frames", "3", "--beat-every", "0"}, 0},
                    BeatCase{"EveryFrame", {"--frames", "3", "--beat-every", "1"}, 3},
                    BeatCase{"EverySecond", {"--frames", "3", "--beat-every", "2"}, 2},
                    BeatCase{"OnlyFrameZero", {"--frames", "3", "--beat-every", "3"}, 1},
                    BeatCase{"ZeroFiveAndTen", {"--frames", "11", "--beat-every", "5"}, 3}),
    [](const testing::TestParamInfo<BeatCase>& testCase) { return std::string(testCase.param.name); });

TEST_F(RenderEndToEnd, BufferPersistsBetweenFramesUnlessCleared) {
    // Additive blue of 10 per frame over three frames.
    const std::string adding = preset("n = 1", std::string(kWholeFrameTriangle) + "red1 = 0; green1 = 0; blue1 = 10 / 255;");
    const std::vector<uint32_t> kept = render({adding}, {"--frames", "3", "--blend", "1", "--fill", "0x01000000"});
    EXPECT_EQ(kept[5 * kSide + 5], 0x0100001Eu);
    const std::vector<uint32_t> cleared =
        render({adding}, {"--frames", "3", "--blend", "1", "--fill", "0x01000000", "--clear"});
    EXPECT_EQ(cleared[5 * kSide + 5], 0x0100000Au);
    EXPECT_EQ(cleared[5 * kSide + 9], 0x01000000u) << "the last column is never drawn and keeps the fill";
}

TEST_F(RenderEndToEnd, SeveralInstancesDrawInTheOrderGiven) {
    // Replace mode: the later preset's colour is what remains.
    const std::string red = preset("n = 1", std::string(kWholeFrameTriangle) + "red1 = 1; green1 = 0; blue1 = 0;");
    const std::string green = preset("n = 1", std::string(kWholeFrameTriangle) + "red1 = 0; green1 = 1; blue1 = 0;");
    EXPECT_EQ(render({red, green}, {"--frames", "1"})[44], 0x0000FF00u);
    EXPECT_EQ(render({green, red}, {"--frames", "1"})[44], 0x00FF0000u);
}

}  // namespace
