// Which span routines the renderer binds: the vector ones unless
// RT_FORCE_SCALAR=1 (the scalar run of these tests sets it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "render/blend_selection.h"
#include "render/pixel_op.h"
#include "render_state.h"

namespace {

bool scalarRequested() {
    const char* value = std::getenv("RT_FORCE_SCALAR");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

TEST(SpanDispatchTest, FollowsTheEnvironmentSwitch) {
    const render::SpanTable* vector = render::sse2Spans();
    const render::SpanTable& expected = scalarRequested() || vector == nullptr ? render::scalarSpans() : *vector;
    EXPECT_EQ(&render::activeSpans(), &expected) << "bound: " << render::activeSpans().name;
}

class SpanBindingTest : public RenderStateTest {};

TEST_F(SpanBindingTest, SelectionBindsFromTheActiveTable) {
    const render::PixelOpSelection& selected = render::selectPixelOp(1, 0);
    EXPECT_EQ(selected.span, render::activeSpans().span[static_cast<int>(render::PixelOp::Additive)]);
}

}  // namespace
