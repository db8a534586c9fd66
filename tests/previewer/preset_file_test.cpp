// Reading presets: the text form's headers, missing sections and line ends,
// raw blocks, and the malformed files that must be refused.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "previewer/preset_file.h"
#include "scratch_dir.h"

namespace {

using namespace std::string_literals;
using previewer::PresetFile;
using Sections = std::array<std::string, previewer::kPresetSections>;

struct TextCase {
    const char* name;
    std::string contents;
    Sections sections;  // init, frame, beat, triangle
};

class TextForm : public testing::TestWithParam<TextCase> {};

TEST_P(TextForm, SplitsIntoSections) {
    PresetFile preset;
    std::string error;
    ASSERT_TRUE(previewer::parsePreset(GetParam().contents, preset, error)) << error;
    EXPECT_FALSE(preset.rawBlock);
    EXPECT_EQ(preset.sections, GetParam().sections);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextForm,
    testing::Values(
        TextCase{"AllFour", "[init]\na=1\n[frame]\nn=1\n[beat]\nb=2\n[triangle]\nx1=0\n", {"a=1", "n=1", "b=2", "x1=0"}},
        TextCase{"AnyOrder", "[triangle]\nt\n[init]\ni\n", {"i", "", "", "t"}},
        TextCase{"MissingSectionsAreEmpty", "[frame]\nn = 3\n", {"", "n = 3", "", ""}},
        TextCase{"MultiLineKeepsInnerBreaks", "[frame]\na=1;\nb=2;\n\n[beat]\n", {"", "a=1;\nb=2;\n", "", ""}},
        TextCase{"NoFinalNewline", "[beat]\nb=1", {"", "", "b=1", ""}},
        TextCase{"CrLfKeptInsideHeadersMatch", "[init]\r\na=1\r\nb=2\r\n[frame]\r\nn=1\r\n", {"a=1\r\nb=2", "n=1", "", ""}},
        TextCase{"HeaderWithSpaces", "  [frame] \t\nn=1\n", {"", "n=1", "", ""}},
        TextCase{"CommentsAndBlanksBeforeFirstHeader", "# demo\n\n// by me\n[frame]\nn=1\n", {"", "n=1", "", ""}},
        TextCase{"CommentsInsideASectionAreScript", "[frame]\n# not a header\n", {"", "# not a header", "", ""}},
        TextCase{"EmptyHeaderOnly", "[init]\n", {"", "", "", ""}},
        TextCase{"Utf8MarkIgnored", "\xEF\xBB\xBF[frame]\nn=1\n", {"", "n=1", "", ""}},
        TextCase{"HighBytesCopiedAsIs", "[frame]\n// caf\xE9\n", {"", "// caf\xE9", "", ""}}),
    [](const testing::TestParamInfo<TextCase>& testCase) { return std::string(testCase.param.name); });

TEST(TextForm, RecordsWhereEachSectionStartsInTheFile) {
    PresetFile preset;
    std::string error;
    ASSERT_TRUE(previewer::parsePreset("# c\n[frame]\na\nb\n[triangle]\nt\n", preset, error)) << error;
    EXPECT_EQ(preset.firstLine[1], 3);
    EXPECT_EQ(preset.firstLine[3], 6);
}

struct RawCase {
    const char* name;
    std::string contents;
    Sections sections;
};

class RawBlock : public testing::TestWithParam<RawCase> {};

TEST_P(RawBlock, TakesTheFirstFourStrings) {
    PresetFile preset;
    std::string error;
    ASSERT_TRUE(previewer::parsePreset(GetParam().contents, preset, error)) << error;
    EXPECT_TRUE(preset.rawBlock);
    EXPECT_EQ(preset.sections, GetParam().sections);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RawBlock,
    testing::Values(RawCase{"FourEmpty", "\0\0\0\0"s, {"", "", "", ""}},
                    RawCase{"Plain", "i\0f\0b\0t\0"s, {"i", "f", "b", "t"}},
                    RawCase{"ExtraAfterFourthIgnored", "i\0f\0b\0t\0more\0x\0"s, {"i", "f", "b", "t"}},
                    // Header-like lines in a block are script text, not headers.
                    RawCase{"HeadersAreText", "[init]\r\na\0\0\0\0"s, {"[init]\r\na", "", "", ""}}),
    [](const testing::TestParamInfo<RawCase>& testCase) { return std::string(testCase.param.name); });

TEST(PresetFile, BlockIsWhatTheEffectLoads) {
    PresetFile preset;
    preset.sections = {"a", "", "c\r\nd", "t"};
    EXPECT_EQ(preset.block(), "a\0\0c\r\nd\0t\0"s);
}

struct BadCase {
    const char* name;
    std::string contents;
    const char* messagePart;
};

class Malformed : public testing::TestWithParam<BadCase> {};

TEST_P(Malformed, IsRefusedWithAReason) {
    PresetFile preset;
    std::string error;
    EXPECT_FALSE(previewer::parsePreset(GetParam().contents, preset, error));
    EXPECT_NE(error.find(GetParam().messagePart), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Malformed,
    testing::Values(BadCase{"ThreeNuls", "a\0b\0c\0"s, "has 3"},
                    BadCase{"OneNul", "abc\0"s, "has 1"},
                    BadCase{"Empty", "", "not a preset"},
                    BadCase{"HeaderlessScript", "n = 1;\n", "line 1: text before the first section header"},
                    BadCase{"ScriptBeforeHeader", "# ok\nn = 1\n[frame]\n", "line 2"},
                    BadCase{"UnknownHeader", "[frame]\n[Frame]\n", "line 2: unknown section [Frame]"},
                    BadCase{"RepeatedHeader", "[beat]\na\n[beat]\n", "line 3: section [beat] appears twice"}),
    [](const testing::TestParamInfo<BadCase>& testCase) { return std::string(testCase.param.name); });

TEST(PresetFile, ReadErrorsNameThePath) {
    ScratchDir dir;
    PresetFile preset;
    std::string error;
    EXPECT_FALSE(previewer::readPresetFile(dir.file("missing.preset"), preset, error));
    EXPECT_NE(error.find("missing.preset: cannot read"), std::string::npos) << error;
    EXPECT_FALSE(previewer::readPresetFile(dir.path(), preset, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    const std::string bad = dir.write("bad.preset", "x\0"s);
    EXPECT_FALSE(previewer::readPresetFile(bad, preset, error));
    EXPECT_EQ(error.rfind(bad + ": ", 0), 0u) << error;
}

TEST(PresetFile, ReadsAFileWithItsPath) {
    ScratchDir dir;
    const std::string path = dir.write("ok.preset", "[triangle]\nx1 = 1\n");
    PresetFile preset;
    std::string error;
    ASSERT_TRUE(previewer::readPresetFile(path, preset, error)) << error;
    EXPECT_EQ(preset.path, path);
    EXPECT_EQ(preset.sections[3], "x1 = 1");
}

}  // namespace
