// 10,000 small triangles per frame through renderFrame and the stand-in host:
// the whole path a preset takes, scripts included.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_registry.h"
#include "effect/triangle_effect.h"
#include "render/triangle_sink.h"
#include "standin/standin_host.h"

namespace bench {
namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;
constexpr int kTrianglesPerFrame = 10000;

// A spiral of right triangles, 14 x 14 pixels at 640 x 480.
const char kFrameScript[] = "n = 10000; t = t + 0.01;";
const char kTriangleScript[] =
    "a = i * 1237.1 + t; r = 0.85 * sqrt(i);\n"
    "x1 = r * sin(a); y1 = r * cos(a); x2 = x1 + 0.045; y2 = y1; x3 = x1; y3 = y1 + 0.06;\n"
    "red1 = i; green1 = 0.5 + 0.5 * sin(a); blue1 = 1 - i;";
// The same triangles adding 1 to blue: the frame's blue bytes sum to the
// number of pixels written.
const char kCountingScript[] =
    "a = i * 1237.1 + t; r = 0.85 * sqrt(i);\n"
    "x1 = r * sin(a); y1 = r * cos(a); x2 = x1 + 0.045; y2 = y1; x3 = x1; y3 = y1 + 0.06;\n"
    "red1 = 0; green1 = 0; blue1 = 1 / 255;";

class NullSink final : public render::TriangleSink {
public:
    void chooseMode(const render::Frame&, bool, bool, const uint32_t*) override {}
    void beginTriangles(const render::Frame&) override {}
    void drawTriangle(const render::TriangleVars&) override {}
};

struct EffectDeleter {
    void operator()(effect::TriangleEffect* effect) const { effect->destroy(effect::EffectBase::kFreeMemory); }
};

std::unique_ptr<effect::TriangleEffect, EffectDeleter> effectWith(const char* triangleScript) {
    host::setServices(standin_services());
    standin_set_blend_mode_word(1);  // additive
    std::unique_ptr<effect::TriangleEffect, EffectDeleter> effect(effect::TriangleEffect::create());
    std::string block = "t = 0;";
    for (const char* section : {kFrameScript, "", triangleScript}) {
        block += '\0';
        block += section;
    }
    block += '\0';
    effect->loadConfig(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int32_t>(block.size()));
    return effect;
}

void smallTriangles(benchmark::State& state, bool draw) {
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight, 0);
    auto effect = effectWith(kTriangleScript);
    NullSink nothing;
    render::TriangleSink* previous = draw ? nullptr : render::replaceSink(&nothing);
    effect->renderFrame(nullptr, 0, frame.data(), nullptr, kWidth, kHeight);  // compiles the scripts
    for (auto _ : state) {
        effect->renderFrame(nullptr, 0, frame.data(), nullptr, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    if (!draw) render::replaceSink(previous);
    state.SetItemsProcessed(state.iterations() * kTrianglesPerFrame);
}

}  // namespace

double pixelsPerSmallTriangle() {
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight, 0);
    auto effect = effectWith(kCountingScript);
    effect->renderFrame(nullptr, 0, frame.data(), nullptr, kWidth, kHeight);
    double written = 0;
    for (uint32_t pixel : frame) written += pixel & 0xFF;
    return written / kTrianglesPerFrame;
}

void registerSmallTriangleBenchmarks() {
    benchmark::RegisterBenchmark("small_triangles/draw", smallTriangles, true);
    benchmark::RegisterBenchmark("small_triangles/scripts_only", smallTriangles, false);
}

}  // namespace bench
