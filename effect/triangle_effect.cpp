#include "effect/triangle_effect.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <utility>

#include "effect/frame_driver.h"
#include "effect/preset_block.h"
#include "render/cpu_features.h"
#include "render/frame_renderer.h"

namespace effect {

namespace {

int32_t g_liveInstances = 0;
TriangleEffect* g_editedEffect = nullptr;
PanelOpener g_panelOpener = nullptr;

}  // namespace

TriangleEffect* editedEffect() { return g_editedEffect; }
void setEditedEffect(TriangleEffect* effect) { g_editedEffect = effect; }
void setPanelOpener(PanelOpener opener) { g_panelOpener = opener; }

char* TriangleEffect::newCodeString(const char* bytes, size_t length) {
    char* text = new (std::nothrow) char[length + 1];
    if (text == nullptr) return nullptr;
    if (length != 0) std::memcpy(text, bytes, length);
    text[length] = '\0';
    return text;
}

void TriangleEffect::freeCodeString(char* text) { delete[] text; }

TriangleEffect::TriangleEffect()
    : framesSinceEdit(kRecompileFrame),
      code{newCodeString("", 0), newCodeString("", 0), newCodeString("", 0), newCodeString("", 0)},
      varsBound(false),
      context(nullptr),
      handle{},
      vars(),
      orphanVariables() {
    render::refreshCpuFlag();
    ++g_liveInstances;
}

TriangleEffect* TriangleEffect::create() {
    TriangleEffect* effect = new (std::nothrow) TriangleEffect();
    if (effect == nullptr) return nullptr;
    if (!effect->code[0] || !effect->code[1] || !effect->code[2] || !effect->code[3]) {
        effect->destroy(kFreeMemory);
        return nullptr;
    }
    return effect;
}

TriangleEffect::~TriangleEffect() {
    if (--g_liveInstances == 0) render::releaseSharedDepth();
    // The panel keeps a plain pointer to the effect it edits; never leave it dangling.
    if (g_editedEffect == this) g_editedEffect = nullptr;

    for (char*& text : code) {
        freeCodeString(text);
        text = nullptr;
    }

    const host::HostServices* host = host::services();
    if (host == nullptr) return;
    for (host::CodeHandle& compiled : handle) {
        if (compiled != nullptr) host->freeCode(compiled);
        compiled = nullptr;
    }
    if (context != nullptr) host->freeContext(context);
    context = nullptr;
}

EffectBase* EFFECT_CALL TriangleEffect::destroy(uint32_t flags) {
    this->~TriangleEffect();
    if (flags & kFreeMemory) ::operator delete(static_cast<void*>(this));
    return this;
}

int32_t EFFECT_CALL TriangleEffect::renderFrame(host::VisData* visData, int32_t isBeat, uint32_t* frameBuffer,
                                                uint32_t* /*altFrameBuffer*/, int32_t width, int32_t height) {
    return FrameDriver::renderFrame(*this, visData, isBeat, frameBuffer, width, height);
}

const char* EFFECT_CALL TriangleEffect::getDescription() { return kDescription; }

WindowHandle EFFECT_CALL TriangleEffect::openEditor(ModuleHandle moduleInstance, WindowHandle parentWindow) {
    setEditedEffect(this);
    return g_panelOpener != nullptr ? g_panelOpener(moduleInstance, parentWindow) : nullptr;
}

void EFFECT_CALL TriangleEffect::loadConfig(const unsigned char* data, int32_t length) {
    // Every new string is had before any old one is given up, so that running
    // out of memory leaves the effect with its previous scripts.
    char* texts[kSectionCount] = {};
    if (!readPresetBlock(data, length, texts)) return;
    // Swap all four at once so a recompile never mixes old and new sections.
    {
        host::SpinLockGuard guard(codeLock);
        for (int s = 0; s < kSectionCount; ++s) std::swap(code[s], texts[s]);
    }
    for (char* text : texts) freeCodeString(text);
}

int32_t EFFECT_CALL TriangleEffect::saveConfig(unsigned char* buffer) {
    if (buffer == nullptr) return 0;
    host::SpinLockGuard guard(codeLock);
    return writePresetBlock(code, buffer);
}

int32_t TriangleEffect::liveInstanceCount() { return g_liveInstances; }

void TriangleEffect::adoptSection(Section section, char* text) {
    if (text == nullptr) return;
    char* previous;
    {
        host::SpinLockGuard guard(codeLock);
        previous = code[indexOf(section)];
        code[indexOf(section)] = text;
    }
    freeCodeString(previous);
}

void TriangleEffect::acceptEdit(Section section, char* text) {
    if (text == nullptr) return;
    adoptSection(section, text);
    restartRecompileCounter();
}

bool TriangleEffect::replaceSection(Section section, const char* text) {
    char* copy = newCodeString(text, std::strlen(text));
    if (copy == nullptr) return false;
    adoptSection(section, copy);
    return true;
}

char* TriangleEffect::copySection(Section section) const {
    host::SpinLockGuard guard(codeLock);
    const char* text = code[indexOf(section)];
    return newCodeString(text, std::strlen(text));
}

bool TriangleEffect::copySections(char* (&texts)[kSectionCount]) const {
    host::SpinLockGuard guard(codeLock);
    for (int s = 0; s < kSectionCount; ++s) {
        texts[s] = newCodeString(code[s], std::strlen(code[s]));
        if (texts[s] != nullptr) continue;
        for (int k = 0; k < s; ++k) freeCodeString(texts[k]);
        return false;
    }
    return true;
}

// The host reads the object at these offsets, in pointers P: the vtable
// pointer, the counter, the four strings, the flag, the context, the four
// handles, then the variables. Arrays of four pointers in section order are
// the same memory as four named pointers.
struct TriangleEffectLayout {
    static constexpr size_t P = sizeof(void*);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
    static_assert(offsetof(TriangleEffect, framesSinceEdit) == P, "counter after the vtable pointer");
    static_assert(offsetof(TriangleEffect, code) == 2 * P, "four code strings");
    static_assert(sizeof(TriangleEffect::code) == 4 * P, "four code strings");
    static_assert(offsetof(TriangleEffect, varsBound) == 6 * P, "flag after the strings");
    static_assert(offsetof(TriangleEffect, context) == 7 * P, "context");
    static_assert(offsetof(TriangleEffect, handle) == 8 * P, "four code handles");
    static_assert(sizeof(TriangleEffect::handle) == 4 * P, "four code handles");
    static_assert(offsetof(TriangleEffect, vars) == 12 * P, "variables after the handles");
#pragma GCC diagnostic pop
};

}  // namespace effect
