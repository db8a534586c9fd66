// Puts the renderer's process-wide state (selection cache, processor flag,
// depth buffer) back to a known start around each test.
#pragma once

#include <gtest/gtest.h>

#include "render/blend_selection.h"
#include "render/cpu_features.h"
#include "render/depth_buffer.h"
#include "render/triangle_sink.h"

class RenderStateTest : public testing::Test {
protected:
    void SetUp() override {
        savedFlag_ = render::extendedByteOps();
        render::resetPixelOpSelection();
        render::releaseSharedDepth();
    }
    void TearDown() override {
        render::setExtendedByteOps(savedFlag_);
        render::resetPixelOpSelection();
        render::releaseSharedDepth();
    }

private:
    bool savedFlag_ = true;
};
