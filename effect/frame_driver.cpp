#include "effect/frame_driver.h"

#include <cmath>
#include <limits>

#include "effect/triangle_effect.h"
#include "render/rounding.h"
#include "render/triangle_sink.h"

namespace effect {

namespace {

// A switch variable is on when it differs from 0.0; NaN is on.
bool isOn(double value) { return !(value == 0.0); }

// "n" rounded half to even; anything outside the signed 32-bit range (NaN
// included) gives no triangles.
int32_t triangleCount(double n) {
    const double rounded = render::roundHalfEven(n);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return 0;
    return static_cast<int32_t>(rounded);
}

}  // namespace

void FrameDriver::runSection(const TriangleEffect& effect, const host::HostServices& host, Section section,
                             host::VisData* visData) {
    const host::CodeHandle compiled = effect.handle[indexOf(section)];
    if (compiled != nullptr) host.executeCode(compiled, visData);
}

bool FrameDriver::bindVariables(TriangleEffect& effect, const host::HostServices& host) {
    effect.context = host.createContext();
    if (effect.context == nullptr) return false;
    for (int k = 0; k < kScriptVarCount; ++k) {
        const ScriptVarSpec& entry = kScriptVarSpecs[k];
        double* variable = host.registerVariable(effect.context, entry.name);
        if (variable == nullptr) variable = &effect.orphanVariables[k];
        effect.vars.*entry.field = variable;
        if (entry.hasStartValue) *variable = entry.startValue;
    }
    effect.varsBound = true;
    return true;
}

bool FrameDriver::recompile(TriangleEffect& effect, const host::HostServices& host, host::VisData* visData) {
    // The host's compiler may dispatch window messages on this thread (an
    // error box, a message pump), and so deliver an edit from the panel: it
    // compiles private copies, so that no lock is held while it runs and an
    // edit never frees a text being compiled.
    char* texts[kSectionCount] = {};
    if (!effect.copySections(texts)) return false;

    for (host::CodeHandle& compiled : effect.handle) {
        if (compiled != nullptr) host.freeCode(compiled);
        compiled = nullptr;
    }
    for (int s = 0; s < kSectionCount; ++s) effect.handle[s] = host.compileCode(effect.context, texts[s]);
    for (char* text : texts) TriangleEffect::freeCodeString(text);
    runSection(effect, host, Section::Init, visData);
    return true;
}

void FrameDriver::runTriangleLoop(TriangleEffect& effect, const host::HostServices& host, host::VisData* visData) {
    const ScriptVars& vars = effect.vars;
    render::TriangleSink& sink = render::activeSink();
    const int32_t count = triangleCount(*vars.n);
    // Computed from the rounded count; 1 / 0 gives +infinity for a single triangle.
    const double increment = 1.0 / (static_cast<double>(count) - 1.0);
    double position = 0.0;
    *vars.i = 0.0;
    for (int32_t k = 0; k < count; ++k) {
        *vars.skip = 0.0;
        runSection(effect, host, Section::Triangle, visData);
        if (*vars.skip == 0.0) {
            const render::TriangleVars triangle = {*vars.x1,  *vars.y1,    *vars.x2,   *vars.y2, *vars.x3,
                                                   *vars.y3,  *vars.red1,  *vars.green1, *vars.blue1, *vars.z1};
            sink.drawTriangle(triangle);
        }
        position += increment;
        *vars.i = position;
    }
}

int32_t FrameDriver::renderFrame(TriangleEffect& effect, host::VisData* visData, int32_t isBeat, uint32_t* frameBuffer,
                                 int32_t width, int32_t height) {
    const host::HostServices* host = host::services();
    if (host == nullptr) return 0;

    if (!effect.varsBound && !bindVariables(effect, *host)) return 0;  // no context yet: try again next frame
    const ScriptVars& vars = effect.vars;

    *vars.w = static_cast<double>(width);
    *vars.h = static_cast<double>(height);

    // The panel may reset the counter to 0 at any moment; a compare-exchange
    // keeps that reset instead of overwriting it.
    // An edit that arrives while the sections compile (from this thread, by
    // way of the host's compiler, or from another) resets it too, and its
    // text is compiled at the next due recompilation. Without memory for the
    // copies the counter stays due and the next frame tries again.
    int32_t counter = effect.framesSinceEdit.load();
    const bool compiled = counter != TriangleEffect::kRecompileFrame || recompile(effect, *host, visData);
    if (compiled && counter != TriangleEffect::kCounterRest)
        effect.framesSinceEdit.compare_exchange_strong(counter, counter + 1);

    runSection(effect, *host, Section::Frame, visData);

    const render::Frame frame = {frameBuffer, width, height};
    render::TriangleSink& sink = render::activeSink();
    sink.chooseMode(frame, isOn(*vars.zbuf), isOn(*vars.zbclear), host->blendModeWord);

    if (isBeat != 0) runSection(effect, *host, Section::Beat, visData);

    sink.beginTriangles(frame);
    runTriangleLoop(effect, *host, visData);
    return 0;
}

}  // namespace effect
