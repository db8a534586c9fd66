#include "previewer/drawing_watch.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

namespace previewer {

// Sections are compiled in block order, four to a context, each time the
// effect recompiles; the triangle section is the fourth.
constexpr int kSectionsPerCompile = 4;
constexpr int kFrameSection = 1;
constexpr int kTriangleSection = 3;

struct DrawingWatch::EffectState {
    double* n = nullptr;
    double* skip = nullptr;
    double* x[3] = {nullptr, nullptr, nullptr};
    double* y[3] = {nullptr, nullptr, nullptr};
    int compiled = 0;
    bool neverSetsCount = false;
    bool ranFrame = false;
    double nAfterFrame = 0.0;
    int64_t triangles = 0;
    int64_t skipped = 0;
    int64_t offFrame = 0;
};

struct DrawingWatch::Code {
    size_t effect;
    int section;
};

namespace {

struct WatchState {
    const host::HostServices* inner = nullptr;
    std::function<void()> onTriangle;
    std::map<host::HostScriptContext*, size_t> effectOf;
    std::vector<DrawingWatch::EffectState> effects;
    std::map<host::HostCode*, DrawingWatch::Code> codes;
    // The triangle script runs once per triangle: its entry is kept at hand.
    host::HostCode* lastCode = nullptr;
    DrawingWatch::Code lastEntry{0, -1};
    std::vector<bool> neverSetsCount;
};

WatchState* active = nullptr;

DrawingWatch::EffectState* effectFor(host::HostScriptContext* context) {
    const auto found = active->effectOf.find(context);
    return found == active->effectOf.end() ? nullptr : &active->effects[found->second];
}

host::ScriptContext HOST_CDECL createContext() {
    host::ScriptContext context = active->inner->createContext();
    if (context != nullptr) {
        const size_t index = active->effects.size();
        active->effectOf[context] = index;
        active->effects.emplace_back();
        if (index < active->neverSetsCount.size()) active->effects.back().neverSetsCount = active->neverSetsCount[index];
    }
    return context;
}

void HOST_CDECL freeContext(host::ScriptContext context) {
    active->effectOf.erase(context);
    active->inner->freeContext(context);
}

double* HOST_CDECL registerVariable(host::ScriptContext context, const char* name) {
    double* variable = active->inner->registerVariable(context, name);
    DrawingWatch::EffectState* effect = effectFor(context);
    if (effect == nullptr || variable == nullptr) return variable;
    const std::string text = name;
    if (text == "n") effect->n = variable;
    if (text == "skip") effect->skip = variable;
    if (text.size() == 2 && (text[0] == 'x' || text[0] == 'y') && text[1] >= '1' && text[1] <= '3')
        (text[0] == 'x' ? effect->x : effect->y)[text[1] - '1'] = variable;
    return variable;
}

host::CodeHandle HOST_CDECL compileCode(host::ScriptContext context, const char* text) {
    host::CodeHandle code = active->inner->compileCode(context, text);
    const auto found = active->effectOf.find(context);
    if (found == active->effectOf.end()) return code;
    DrawingWatch::EffectState& effect = active->effects[found->second];
    const int section = effect.compiled++ % kSectionsPerCompile;
    if (code != nullptr) active->codes[code] = {found->second, section};
    active->lastCode = nullptr;
    return code;
}

bool outside(double* const values[3]) {
    if (values[0] == nullptr) return false;
    const double a = *values[0], b = *values[1], c = *values[2];
    return (a < -1.0 && b < -1.0 && c < -1.0) || (a > 1.0 && b > 1.0 && c > 1.0);
}

void HOST_CDECL executeCode(host::CodeHandle code, host::VisData* visData) {
    active->inner->executeCode(code, visData);
    if (code != active->lastCode) {
        const auto found = active->codes.find(code);
        if (found == active->codes.end()) return;
        active->lastCode = code;
        active->lastEntry = found->second;
    }
    const DrawingWatch::Code& entry = active->lastEntry;
    DrawingWatch::EffectState& effect = active->effects[entry.effect];
    if (entry.section == kFrameSection) {
        effect.ranFrame = true;
        effect.nAfterFrame = effect.n != nullptr ? *effect.n : 0.0;
    } else if (entry.section == kTriangleSection) {
        ++effect.triangles;
        if (effect.skip != nullptr && *effect.skip != 0.0)
            ++effect.skipped;
        else if (outside(effect.x) || outside(effect.y))
            ++effect.offFrame;
        if (active->onTriangle) active->onTriangle();
    }
}

void HOST_CDECL freeCode(host::CodeHandle code) {
    active->codes.erase(code);
    if (code == active->lastCode) active->lastCode = nullptr;
    active->inner->freeCode(code);
}

}  // namespace

std::string describeNothingDrawn(const NothingDrawnNote& note, int32_t frame) {
    const std::string prefix = "frame " + std::to_string(frame) + ": ";
    switch (note.cause) {
        case NothingDrawn::NeverSet:
            return prefix + "n is never set by any script (it starts at 0): nothing is drawn";
        case NothingDrawn::CountZero: {
            char value[32];
            std::snprintf(value, sizeof value, "%g", note.n);
            return prefix + "n is " + value + " after the frame script: nothing is drawn";
        }
        case NothingDrawn::AllSkipped:
            return prefix + "the triangle script set skip for every triangle: nothing is drawn";
        case NothingDrawn::AllOffFrame:
            return prefix + "every triangle lies outside the frame (x and y run from -1 to 1) or was skipped: nothing is drawn";
    }
    return prefix + "nothing is drawn";
}

bool mentionsCount(const std::string& scriptText) {
    auto isNameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    for (size_t k = 0; k < scriptText.size(); ++k) {
        if (scriptText[k] != 'n' && scriptText[k] != 'N') continue;
        const bool startsWord = k == 0 || !isNameChar(scriptText[k - 1]);
        const bool endsWord = k + 1 == scriptText.size() || !isNameChar(scriptText[k + 1]);
        if (startsWord && endsWord) return true;
    }
    return false;
}

DrawingWatch::DrawingWatch(const host::HostServices* inner, std::function<void()> onTriangle) : table_(*inner) {
    static WatchState state;
    state = WatchState();
    state.inner = inner;
    state.onTriangle = std::move(onTriangle);
    active = &state;
    table_.createContext = createContext;
    table_.freeContext = freeContext;
    table_.registerVariable = registerVariable;
    table_.compileCode = compileCode;
    table_.executeCode = executeCode;
    table_.freeCode = freeCode;
}

DrawingWatch::~DrawingWatch() { active = nullptr; }

void DrawingWatch::setNeverSetsCount(size_t index, bool never) {
    if (active->neverSetsCount.size() <= index) active->neverSetsCount.resize(index + 1, false);
    active->neverSetsCount[index] = never;
}

void DrawingWatch::beginFrame() {
    for (EffectState& effect : active->effects) {
        effect.ranFrame = false;
        effect.nAfterFrame = effect.n != nullptr ? *effect.n : 0.0;
        effect.triangles = effect.skipped = effect.offFrame = 0;
    }
}

std::vector<NothingDrawnNote> DrawingWatch::endFrame() const {
    std::vector<NothingDrawnNote> notes;
    for (size_t k = 0; k < active->effects.size(); ++k) {
        const EffectState& effect = active->effects[k];
        const double n = effect.ranFrame ? effect.nAfterFrame : (effect.n != nullptr ? *effect.n : 0.0);
        // The effect rounds n half to even, as nearbyint does by default.
        if (!(std::nearbyint(n) >= 1.0)) {
            notes.push_back({k, effect.neverSetsCount ? NothingDrawn::NeverSet : NothingDrawn::CountZero, n});
        } else if (effect.triangles > 0 && effect.skipped == effect.triangles) {
            notes.push_back({k, NothingDrawn::AllSkipped, n});
        } else if (effect.triangles > 0 && effect.skipped + effect.offFrame == effect.triangles) {
            notes.push_back({k, NothingDrawn::AllOffFrame, n});
        }
    }
    return notes;
}

}  // namespace previewer
