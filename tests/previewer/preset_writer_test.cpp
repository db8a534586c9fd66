// Writing the text form: whatever the writer accepts reads back section for
// section, and a section it cannot write so is refused.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "previewer/preset_file.h"
#include "previewer/preset_writer.h"

namespace {

using Sections = std::array<std::string, previewer::kPresetSections>;

struct RoundTrip {
    const char* name;
    Sections sections;
};

class WrittenPreset : public testing::TestWithParam<RoundTrip> {};

TEST_P(WrittenPreset, ReadsBackTheSameSections) {
    std::string text;
    std::string error;
    ASSERT_TRUE(previewer::writePresetText(GetParam().sections, text, error)) << error;
    previewer::PresetFile preset;
    ASSERT_TRUE(previewer::parsePreset(text, preset, error)) << error << "\n" << text;
    EXPECT_FALSE(preset.rawBlock);
    EXPECT_EQ(preset.sections, GetParam().sections);
    EXPECT_TRUE(preset.warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrittenPreset,
    testing::Values(RoundTrip{"AllEmpty", {"", "", "", ""}},
                    RoundTrip{"OneLineEach", {"a=1", "n=1", "b=2", "x1=0"}},
                    RoundTrip{"TrailingLineBreaks", {"a=1\n", "n=1\n\n", "", "x1=0\r\n"}},
                    RoundTrip{"CarriageReturnLineFeeds", {"a=1;\r\nb=2;", "", "c=3\r\n\r\nd=4", ""}},
                    RoundTrip{"CommentsAndBlankLines", {"# note\n\n// more", "  \n", "\t", "[not a header] + 1"}},
                    RoundTrip{"LeadingBlankLines", {"\n\nq=1", "", "", ""}}),
    [](const testing::TestParamInfo<RoundTrip>& testCase) { return std::string(testCase.param.name); });

struct Refusal {
    const char* name;
    Sections sections;
    const char* named;  // the section the reason names
};

class UnwritablePreset : public testing::TestWithParam<Refusal> {};

TEST_P(UnwritablePreset, IsRefusedWithTheSectionNamed) {
    std::string text = "untouched";
    std::string error;
    EXPECT_FALSE(previewer::writePresetText(GetParam().sections, text, error));
    EXPECT_EQ(text, "untouched");
    EXPECT_NE(error.find(GetParam().named), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnwritablePreset,
    testing::Values(Refusal{"HeaderLineInFrame", {"", "n=1\n[beat]\nk=2", "", ""}, "frame"},
                    Refusal{"HeaderWithSpacesInTriangle", {"", "", "", " [ Init ] # again"}, "triangle"}),
    [](const testing::TestParamInfo<Refusal>& testCase) { return std::string(testCase.param.name); });

}  // namespace
