// Which span routines the renderer binds: the widest variant the processor
// runs, unless a test or benchmark program limits it (the product never does).
#include <gtest/gtest.h>

#include "render/blend_selection.h"
#include "render/cpu_features.h"
#include "render/spans_avx2.h"
#include "render/spans_scalar.h"
#include "render/spans_sse2.h"
#include "support/process_state.h"
#include "support/test_main.h"

namespace {

using render::SpanVariant;

// The widest table available at or below the limit, found without activeSpans.
const render::SpanTable& widestUpTo(SpanVariant limit) {
    if (limit == SpanVariant::Avx2 && render::processorHasAvx2() && render::avx2Spans() != nullptr)
        return *render::avx2Spans();
    if (limit != SpanVariant::Scalar && render::sse2Spans() != nullptr) return *render::sse2Spans();
    return render::scalarSpans();
}

TEST(SpanTableTest, BindsWhatTheCommandLineAskedFor) {
    const render::SpanTable& expected = widestUpTo(testsSpanLimit());
    EXPECT_EQ(&render::activeSpans(), &expected) << "bound: " << render::activeSpans().name;
}

struct SwitchCase {
    const char* name;
    SpanVariant limit;
    const char* tableName;  // what is bound where the variant is available
};

const SwitchCase kSwitchCases[] = {
    {"ScalarWhenAskedFor", SpanVariant::Scalar, "scalar"},
    {"Sse2WhenLimitedToIt", SpanVariant::Sse2, "sse2"},
    {"Avx2WhereTheProcessorHasIt", SpanVariant::Avx2, "avx2"},
};

// The fixture puts the limit back as the command line set it.
class SpanSwitchTest : public ProcessStateTest, public testing::WithParamInterface<SwitchCase> {};

TEST_P(SpanSwitchTest, SelectionBindsFromTheChosenTable) {
    const SwitchCase& row = GetParam();
    if (render::spansOf(row.limit) == nullptr) GTEST_SKIP() << row.tableName << " is not available here";
    render::limitSpanVariant(row.limit);
    EXPECT_STREQ(render::activeSpans().name, row.tableName);
    EXPECT_EQ(&render::activeSpans(), render::spansOf(row.limit));
    for (render::BlendMode mode = 0; mode <= 9; ++mode) {
        render::resetPixelOpSelection();
        const render::PixelOpSelection& selected = render::selectPixelOp(mode, 128);
        EXPECT_EQ(selected.span, render::spansOf(row.limit)->span[static_cast<int>(selected.op)]) << "mode " << int{mode};
        EXPECT_EQ(selected.triangle, render::spansOf(row.limit)->triangle[static_cast<int>(selected.op)])
            << "mode " << int{mode};
    }
}

INSTANTIATE_TEST_SUITE_P(Switch, SpanSwitchTest, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<SwitchCase>& row) { return row.param.name; });

// The tables differ where there are vector routines, so the switch is seen.
TEST(SpanTableTest, VariantTablesAreDistinct) {
    const render::SpanTable* tables[] = {&render::scalarSpans(), render::spansOf(SpanVariant::Sse2),
                                         render::spansOf(SpanVariant::Avx2)};
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            if (tables[a] == nullptr || tables[b] == nullptr) continue;
            for (int op = 1; op < render::kPixelOpCount; ++op) {
                EXPECT_NE(tables[a]->span[op], tables[b]->span[op]) << tables[a]->name << " and " << tables[b]->name;
                EXPECT_NE(tables[a]->triangle[op], tables[b]->triangle[op]) << tables[a]->name << " and " << tables[b]->name;
            }
        }
}

// The probe agrees with the compiler's own reading of the processor.
TEST(SpanTableTest, Avx2IsOfferedExactlyWhenTheProcessorHasIt) {
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
    __builtin_cpu_init();
    EXPECT_EQ(render::processorHasAvx2(), __builtin_cpu_supports("avx2") != 0);
    EXPECT_EQ(render::spansOf(SpanVariant::Avx2) != nullptr, __builtin_cpu_supports("avx2") != 0);
#else
    EXPECT_FALSE(render::processorHasAvx2());
#endif
}

}  // namespace
