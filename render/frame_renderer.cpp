#include "render/frame_renderer.h"

#include "render/blend_selection.h"
#include "render/depth_buffer.h"
#include "render/scanline_fill.h"
#include "render/triangle_setup.h"

namespace render {
namespace {

class FrameRenderer final : public TriangleSink {
public:
    void chooseMode(const Frame& frame, bool zbuf, bool zbclear, const uint32_t* blendModeWord) override {
        modeChosen_ = false;
        ready_ = false;
        depth_ = nullptr;
        if (zbuf) {
            depth_ = prepareDepth(frame.width, frame.height, zbclear);
            selection_ = selectPixelOp(kDepthMode, 0);
            modeChosen_ = depth_ != nullptr;
            return;
        }
        if (blendModeWord == nullptr) return;
        const BlendChoice choice = readBlendModeWord(*blendModeWord);
        selection_ = selectPixelOp(choice.mode, choice.ratio);
        // A host byte of 100 comes without a prepared depth buffer: like the
        // other unlisted modes it draws nothing.
        modeChosen_ = selection_.op != PixelOp::None && selection_.op != PixelOp::DepthReplace;
    }

    void beginTriangles(const Frame& frame) override {
        ready_ = modeChosen_ && frame.pixels != nullptr && frame.width > 0 && frame.height > 0;
        if (depth_ != nullptr && (frame.width != depthWidth() || frame.height != depthHeight())) ready_ = false;
        target_ = {frame.pixels, depth_, frame.width, frame.height};
        scales_ = frameScales(frame.width, frame.height);
    }

    void drawTriangle(const TriangleVars& t) override {
        if (!ready_) return;
        const PixelVertex v1 = {toPixel(t.x1, scales_.x), toPixel(t.y1, scales_.y)};
        const PixelVertex v2 = {toPixel(t.x2, scales_.x), toPixel(t.y2, scales_.y)};
        const PixelVertex v3 = {toPixel(t.x3, scales_.x), toPixel(t.y3, scales_.y)};
        const SpanPaint paint = makeSpanPaint(packColour(t.red1, t.green1, t.blue1), depthValue(t.z1), selection_.ratio);
        selection_.triangle(target_, orderByRow(v1, v2, v3), paint);
    }

    // The buffer is gone: never draw through the old pointer.
    void forgetDepth() {
        if (depth_ == nullptr) return;
        depth_ = nullptr;
        modeChosen_ = false;
        ready_ = false;
    }

private:
    PixelOpSelection selection_ = {PixelOp::None, nullptr, nullptr, 0};
    bool modeChosen_ = false;
    bool ready_ = false;
    uint32_t* depth_ = nullptr;
    FillTarget target_ = {nullptr, nullptr, 0, 0};
    FrameScales scales_ = {0.0, 0.0};
};

FrameRenderer g_renderer;

}  // namespace

TriangleSink& frameRenderer() { return g_renderer; }

void releaseSharedDepth() {
    g_renderer.forgetDepth();
    releaseDepth();
}

}  // namespace render
