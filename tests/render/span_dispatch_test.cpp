// Which span routines the renderer binds: the vector ones, unless a test or
// benchmark program asks for the scalar ones (the product never does).
#include <gtest/gtest.h>

#include "render/blend_selection.h"
#include "render/pixel_op.h"
#include "render_state.h"
#include "support/test_options.h"

namespace {

const render::SpanTable& vectorOrScalar() {
    const render::SpanTable* vector = render::sse2Spans();
    return vector != nullptr ? *vector : render::scalarSpans();
}

TEST(SpanDispatchTest, BindsWhatTheCommandLineAskedFor) {
    const render::SpanTable& expected = testsRunWithScalarSpans() ? render::scalarSpans() : vectorOrScalar();
    EXPECT_EQ(&render::activeSpans(), &expected) << "bound: " << render::activeSpans().name;
}

struct SwitchCase {
    const char* name;
    bool scalarOnly;
    const render::SpanTable& (*expected)();
};

const SwitchCase kSwitchCases[] = {
    {"VectorWhereAvailable", false, vectorOrScalar},
    {"ScalarWhenAskedFor", true, render::scalarSpans},
};

class SpanSwitchTest : public RenderStateTest, public testing::WithParamInterface<SwitchCase> {
protected:
    void TearDown() override {
        render::setScalarSpansOnly(testsRunWithScalarSpans());
        RenderStateTest::TearDown();
    }
};

TEST_P(SpanSwitchTest, SelectionBindsFromTheChosenTable) {
    render::setScalarSpansOnly(GetParam().scalarOnly);
    const render::SpanTable& expected = GetParam().expected();
    EXPECT_EQ(&render::activeSpans(), &expected) << "bound: " << render::activeSpans().name;
    for (render::BlendMode mode = 0; mode <= 9; ++mode) {
        const render::PixelOpSelection& selected = render::selectPixelOp(mode, 128);
        EXPECT_EQ(selected.span, expected.span[static_cast<int>(selected.op)]) << "mode " << int{mode};
    }
}

INSTANTIATE_TEST_SUITE_P(Switch, SpanSwitchTest, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<SwitchCase>& row) { return row.param.name; });

// The two tables differ where there are vector routines, so the switch is seen.
TEST(SpanDispatchTest, VectorAndScalarTablesAreDistinctWhereThereIsSse2) {
    if (render::sse2Spans() == nullptr) GTEST_SKIP() << "no SSE2 in this build";
    EXPECT_NE(render::sse2Spans()->span[static_cast<int>(render::PixelOp::Additive)],
              render::scalarSpans().span[static_cast<int>(render::PixelOp::Additive)]);
}

}  // namespace
