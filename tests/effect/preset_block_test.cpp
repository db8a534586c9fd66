// Saving and loading the four sections as consecutive NUL-terminated strings.
#include <gtest/gtest.h>

#include "support/effect_fixture.h"
#include "support/process_state.h"

using effect::Section;

namespace {

using namespace std::string_literals;

class PresetBlock : public ProcessStateTest {};

TEST_F(PresetBlock, FreshEffectSavesFourNuls) {
    EffectPtr effect = makeEffect();
    EXPECT_EQ(saveBlock(*effect), "\0\0\0\0"s);
}

TEST_F(PresetBlock, SaveReturnsLengthAndWritesExactly) {
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("init", "", "beat\r\nline", "t"));
    std::vector<unsigned char> buffer(64, 0xEE);
    const int32_t length = effect->saveConfig(buffer.data());
    const std::string expected = "init\0\0beat\r\nline\0t\0"s;
    ASSERT_EQ(length, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + length), expected);
    EXPECT_EQ(buffer[static_cast<size_t>(length)], 0xEE) << "nothing written past the block";
}

struct MalformedBlock {
    const char* name;
    std::string bytes;
    int32_t length;  // may differ from bytes.size()
};

class MalformedBlockTest : public ProcessStateTest, public testing::WithParamInterface<MalformedBlock> {};

TEST_P(MalformedBlockTest, IsIgnoredAsAWhole) {
    EffectPtr effect = makeEffect();
    const std::string original = presetBlock("1", "2", "3", "4");
    loadBlock(*effect, original);
    const MalformedBlock& block = GetParam();
    effect->loadConfig(reinterpret_cast<const unsigned char*>(block.bytes.data()), block.length);
    EXPECT_EQ(saveBlock(*effect), original);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, MalformedBlockTest,
    testing::Values(MalformedBlock{"Empty", "", 0}, MalformedBlock{"ThreeNuls", "a\0b\0c\0"s, 6},
                    MalformedBlock{"NoNul", "abcdef", 6},
                    MalformedBlock{"FourthNulBeyondLength", "a\0b\0c\0d\0"s, 7},
                    MalformedBlock{"NegativeLength", "a\0b\0c\0d\0"s, -8},
                    MalformedBlock{"ZeroLength", "\0\0\0\0"s, 0}),
    [](const testing::TestParamInfo<MalformedBlock>& param) { return param.param.name; });

TEST_F(PresetBlock, NullDataIsIgnored) {
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("1", "2", "3", "4"));
    effect->loadConfig(nullptr, 100);
    EXPECT_EQ(sectionText(*effect, Section::Init), "1");
}

TEST_F(PresetBlock, FourNulsGiveFourEmptySections) {
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("1", "2", "3", "4"));
    loadBlock(*effect, "\0\0\0\0"s);
    for (Section s : {Section::Init, Section::Frame, Section::Beat, Section::Triangle})
        EXPECT_EQ(sectionText(*effect, s), "");
}

TEST_F(PresetBlock, SixNulsTakeTheFirstFourStrings) {
    EffectPtr effect = makeEffect();
    loadBlock(*effect, "i\0f\0b\0t\0extra\0more\0"s);
    EXPECT_EQ(saveBlock(*effect), "i\0f\0b\0t\0"s);
}

TEST_F(PresetBlock, SaveAfterLoadReproducesTheBlockUpToTheFourthNul) {
    EffectPtr effect = makeEffect();
    const std::string block = "n = 3;\r\n\0frame\0\0tri\xE9\xFF\0trailing bytes without nul"s;
    loadBlock(*effect, block);
    EXPECT_EQ(saveBlock(*effect), block.substr(0, block.find("trailing")));
}

TEST_F(PresetBlock, LoadingLeavesTheRecompileCounterAlone) {
    EffectPtr effect = makeEffect();
    effect->restartRecompileCounter();
    loadBlock(*effect, presetBlock("a", "b", "c", "d"));
    EXPECT_EQ(effect->recompileCounter(), 0);
}

TEST_F(PresetBlock, SaveToNullBufferWritesNothing) {
    EffectPtr effect = makeEffect();
    EXPECT_EQ(effect->saveConfig(nullptr), 0);
}

}  // namespace
