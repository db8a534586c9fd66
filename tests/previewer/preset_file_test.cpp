// Reading presets: the text form's headers, missing sections and line ends,
// raw blocks, and the malformed files that must be refused.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "previewer/preset_file.h"
#include "scratch_dir.h"

namespace {

using namespace std::string_literals;
using previewer::PresetFile;
using Sections = std::array<std::string, previewer::kPresetSections>;

// Text in UTF-16 or UTF-32 (unitBytes 2 or 4), from code points.
std::string encoded(const std::u32string& text, int unitBytes, bool bigEndian, bool withMark) {
    std::u32string units;
    if (withMark) units += U'\uFEFF';
    for (char32_t c : text) {
        if (unitBytes == 2 && c >= 0x10000) {
            units += static_cast<char32_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char32_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += c;
        }
    }
    std::string bytes;
    for (char32_t unit : units)
        for (int k = 0; k < unitBytes; ++k) {
            const int shift = 8 * (bigEndian ? unitBytes - 1 - k : k);
            bytes += static_cast<char>((unit >> shift) & 0xFF);
        }
    return bytes;
}

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
        TextCase{"HighBytesCopiedAsIs", "[frame]\n// caf\xE9\n", {"", "// caf\xE9", "", ""}},
        TextCase{"HeaderCaseAndInnerSpaces", "[ Frame ]\nn=1\n[TRIANGLE]\nt\n", {"", "n=1", "", "t"}},
        TextCase{"HeaderWithTrailingComments", "[frame] // speed\nn=1\n[beat]# on beats\nb\n", {"", "n=1", "b", ""}},
        TextCase{"TextAfterABracketIsScript", "[frame]\nn=1\n[beat] b = 1\n", {"", "n=1\n[beat] b = 1", "", ""}},
        TextCase{"Utf16LittleEndianWithMark", encoded(U"[frame]\r\nn=1 // caf\u00E9\r\n", 2, false, true),
                 {"", "n=1 // caf\xC3\xA9", "", ""}},
        TextCase{"Utf16BigEndianWithMark", encoded(U"[frame]\nn=1\n", 2, true, true), {"", "n=1", "", ""}},
        TextCase{"Utf16SurrogatePair", encoded(U"[frame]\n// \U0001F600\n", 2, false, true),
                 {"", "// \xF0\x9F\x98\x80", "", ""}},
        TextCase{"Utf32LittleEndianWithMark", encoded(U"[beat]\nb=2\n", 4, false, true), {"", "", "b=2", ""}},
        TextCase{"Utf32BigEndianWithMark", encoded(U"[beat]\nb=2\n", 4, true, true), {"", "", "b=2", ""}},
        TextCase{"Utf16LittleEndianByItsNuls", encoded(U"[frame]\nn=1\n", 2, false, false), {"", "n=1", "", ""}},
        TextCase{"Utf16BigEndianByItsNuls", encoded(U"[frame]\nn=1\n", 2, true, false), {"", "n=1", "", ""}},
        TextCase{"Utf32ByItsNuls", encoded(U"[triangle]\nx1=0\n", 4, false, false), {"", "", "", "x1=0"}}),
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
                    RawCase{"HeadersAreText", "[init]\r\na\0\0\0\0"s, {"[init]\r\na", "", "", ""}},
                    // The NULs of UTF-16, but no header once decoded: a block.
                    RawCase{"OneLetterSections", "a\0b\0c\0d\0"s, {"a", "b", "c", "d"}}),
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
                    BadCase{"CaseDoesNotMakeANewSection", "[frame]\n[Frame]\n", "line 2: section [Frame] appears twice"},
                    BadCase{"UnknownHeaderFirst", "# x\n[frames] // speed\nn=1\n",
                            "line 2: [frames] names no section ([init], [frame], [beat] or [triangle])"},
                    BadCase{"Utf16OddLength", encoded(U"[frame]\n", 2, false, true) + "x", "reads as UTF-16LE text"},
                    BadCase{"Utf16BrokenPair", encoded(U"[frame]\n", 2, false, true) + "\x3D\xD8\x41\x00"s,
                            "UTF-16LE text but has a broken surrogate pair"},
                    BadCase{"Utf32OutOfRange", encoded(U"[beat]\n", 4, true, true) + "\x00\x11\x00\x00"s,
                            "UTF-32BE text but has an invalid character at byte 32; save it as UTF-8"},
                    BadCase{"RepeatedHeader", "[beat]\na\n[beat]\n", "line 3: section [beat] appears twice"}),
    [](const testing::TestParamInfo<BadCase>& testCase) { return std::string(testCase.param.name); });

struct WarningCase {
    const char* name;
    std::string contents;
    std::vector<std::string> warnings;
};

class HeaderWarnings : public testing::TestWithParam<WarningCase> {};

TEST_P(HeaderWarnings, NameTheLineOfABracketedLineThatIsNoSection) {
    PresetFile preset;
    std::string error;
    ASSERT_TRUE(previewer::parsePreset(GetParam().contents, preset, error)) << error;
    EXPECT_EQ(preset.warnings, GetParam().warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderWarnings,
    testing::Values(
        WarningCase{"Misspelt", "[frame]\nn=1\n[triangels]\nx1=0\n",
                    {"line 3: [triangels] names no section ([init], [frame], [beat] or [triangle]); kept as script "
                     "text of [frame]"}},
        WarningCase{"WithComment", "[init]\n\n[ setup ] # first\n",
                    {"line 3: [ setup ] names no section ([init], [frame], [beat] or [triangle]); kept as script text "
                     "of [init]"}},
        WarningCase{"KnownHeadersOnly", "[init]\n[ BEAT ] // b\n", {}},
        WarningCase{"ScriptThatMerelyStartsWithABracket", "[frame]\n[x] = 1\n", {}}),
    [](const testing::TestParamInfo<WarningCase>& testCase) { return std::string(testCase.param.name); });

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
