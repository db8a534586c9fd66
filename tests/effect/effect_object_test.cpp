// The effect object as the host sees it: factory, description, life and the
// host calls its destruction makes.
#include <gtest/gtest.h>

#include <cstring>

#include "module/exports.h"
#include "support/effect_fixture.h"
#include "support/fake_host.h"
#include "support/process_state.h"

using effect::editedEffect;
using effect::EffectBase;
using effect::Section;
using effect::setEditedEffect;
using effect::TriangleEffect;

namespace {

class Exports : public ProcessStateTest {};
class Factory : public ProcessStateTest {};
class EffectObject : public ProcessStateTest {};
class CodeReplacement : public ProcessStateTest {};

TEST_F(Exports, RetrFuncHandsOutIdentifierAndFactory) {
    const char* identifier = nullptr;
    module::EffectFactory factory = nullptr;
    EXPECT_EQ(_ZENTH_KIRO_RetrFunc(nullptr, &identifier, &factory), 1);
    EXPECT_STREQ(identifier, "Render: Triangle");
    EXPECT_EQ(factory, &module::createEffect);
}

TEST_F(Exports, SetExtInfoKeepsTheTable) {
    host::HostServices table{};
    _ZENTH_KIRO_SetExtInfo(nullptr, &table);
    EXPECT_EQ(host::services(), &table);
    _ZENTH_KIRO_SetExtInfo(nullptr, nullptr);
    EXPECT_EQ(host::services(), nullptr);
}

TEST_F(Factory, BufferReceivesDescriptionAndNoEffect) {
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(module::createEffect(buffer), nullptr);
    EXPECT_STREQ(buffer, "Render / Triangle");
    EXPECT_EQ(buffer[18], 'x') << "exactly 18 bytes are written";
}

TEST_F(Factory, NullBufferCreatesEffectWithDescription) {
    const int32_t before = TriangleEffect::liveInstanceCount();
    EffectBase* effect = module::createEffect(nullptr);
    ASSERT_NE(effect, nullptr);
    EXPECT_STREQ(effect->getDescription(), "Render / Triangle");
    EXPECT_EQ(TriangleEffect::liveInstanceCount(), before + 1);
    EXPECT_EQ(effect->destroy(EffectBase::kFreeMemory), effect);
    EXPECT_EQ(TriangleEffect::liveInstanceCount(), before);
}

TEST_F(EffectObject, FreshEffectHasEmptySectionsAndCounterAt20) {
    EffectPtr effect = makeEffect();
    for (Section s : {Section::Init, Section::Frame, Section::Beat, Section::Triangle})
        EXPECT_EQ(sectionText(*effect, s), "");
    EXPECT_EQ(effect->recompileCounter(), 20);
    EXPECT_FALSE(effect->variablesBound());
}

TEST_F(EffectObject, DestroyWithoutFreeFlagKeepsMemory) {
    // The host may destroy an object it placed itself; flag bit 0 clear means
    // the memory stays. The storage is released by hand afterwards.
    TriangleEffect* effect = TriangleEffect::create();
    ASSERT_NE(effect, nullptr);
    const int32_t before = TriangleEffect::liveInstanceCount();
    EXPECT_EQ(effect->destroy(0), effect);
    EXPECT_EQ(TriangleEffect::liveInstanceCount(), before - 1);
    ::operator delete(static_cast<void*>(effect));
}

TEST_F(EffectObject, NeverRenderedEffectMakesNoHostCallsOnDestruction) {
    FakeHost host;
    makeEffect().reset();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(EffectObject, DestructionFreesHandlesInOrderThenContext) {
    FakeHost host;
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("I", "F", "B", "T"));
    uint32_t pixel = 0;
    effect->renderFrame(nullptr, 0, &pixel, nullptr, 1, 1);
    host.clearCalls();
    effect.reset();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"freeCode:I", "freeCode:F", "freeCode:B", "freeCode:T", "freeContext"}));
}

TEST_F(EffectObject, DestructionSkipsNullHandles) {
    FakeHost host;
    host.failCompile = {"F", "T"};
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("I", "F", "B", "T"));
    uint32_t pixel = 0;
    effect->renderFrame(nullptr, 0, &pixel, nullptr, 1, 1);
    host.clearCalls();
    effect.reset();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"freeCode:I", "freeCode:B", "freeContext"}));
}

TEST_F(EffectObject, WithoutHostTableDestructionMakesNoHostCalls) {
    FakeHost host;
    EffectPtr effect = makeEffect();
    uint32_t pixel = 0;
    effect->renderFrame(nullptr, 0, &pixel, nullptr, 1, 1);
    host.clearCalls();
    host::setServices(nullptr);
    effect.reset();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(EffectObject, DestroyingTheEditedEffectClearsThePanelsPointer) {
    EffectPtr edited = makeEffect();
    EffectPtr other = makeEffect();
    setEditedEffect(edited.get());
    other.reset();
    EXPECT_EQ(editedEffect(), edited.get()) << "another effect's destruction leaves it alone";
    edited.reset();
    EXPECT_EQ(editedEffect(), nullptr);
}

TEST_F(EffectObject, OpenEditorTargetsTheEffectEvenWithoutAPanel) {
    EffectPtr effect = makeEffect();
    effect->openEditor(nullptr, nullptr);
    EXPECT_EQ(editedEffect(), effect.get());
    effect.reset();
    EXPECT_EQ(editedEffect(), nullptr);
}

TEST_F(CodeReplacement, ReplacesOneSectionAndKeepsOthers) {
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("a", "b", "c", "d"));
    ASSERT_TRUE(effect->replaceSection(Section::Beat, "x = 1;\r\ny = 2"));
    EXPECT_EQ(saveBlock(*effect), presetBlock("a", "b", "x = 1;\r\ny = 2", "d"));
    effect->adoptSection(Section::Init, nullptr);
    EXPECT_EQ(sectionText(*effect, Section::Init), "a") << "a failed allocation keeps the section";
}

}  // namespace
