#include "effect/triangle_effect.h"

#include <cstring>
#include <initializer_list>
#include <new>

#include "effect/editor_panel.h"
#include "render/triangle_sink.h"

namespace {

const char kDescription[] = "Render / Triangle";

int32_t g_liveInstances = 0;
TriangleEffect* g_editedEffect = nullptr;

}  // namespace

TriangleEffect* editedEffect() { return g_editedEffect; }
void setEditedEffect(TriangleEffect* effect) { g_editedEffect = effect; }

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
      initCode(newCodeString("", 0)),
      frameCode(newCodeString("", 0)),
      beatCode(newCodeString("", 0)),
      triangleCode(newCodeString("", 0)),
      varsBound(false),
      context(nullptr),
      initHandle(nullptr),
      frameHandle(nullptr),
      beatHandle(nullptr),
      triangleHandle(nullptr),
      vars(),
      orphanVariables() {
    render::refreshCpuFlag();
    ++g_liveInstances;
}

TriangleEffect* TriangleEffect::create() {
    TriangleEffect* effect = new (std::nothrow) TriangleEffect();
    if (effect == nullptr) return nullptr;
    if (!effect->initCode || !effect->frameCode || !effect->beatCode || !effect->triangleCode) {
        effect->destroy(kFreeMemory);
        return nullptr;
    }
    return effect;
}

TriangleEffect::~TriangleEffect() {
    if (--g_liveInstances == 0) render::releaseSharedDepth();
    // The panel keeps a plain pointer to the effect it edits; never leave it dangling.
    if (g_editedEffect == this) g_editedEffect = nullptr;

    for (int s = 0; s < kSectionCount; ++s) {
        char*& field = codeField(static_cast<Section>(s));
        freeCodeString(field);
        field = nullptr;
    }

    const HostServices* host = host::services();
    if (host == nullptr) return;
    for (CodeHandle* handle : {&initHandle, &frameHandle, &beatHandle, &triangleHandle}) {
        if (*handle != nullptr) host->freeCode(*handle);
        *handle = nullptr;
    }
    if (context != nullptr) host->freeContext(context);
    context = nullptr;
}

EffectBase* EFFECT_CALL TriangleEffect::destroy(uint32_t flags) {
    this->~TriangleEffect();
    if (flags & kFreeMemory) ::operator delete(static_cast<void*>(this));
    return this;
}

const char* EFFECT_CALL TriangleEffect::getDescription() { return kDescription; }

WindowHandle EFFECT_CALL TriangleEffect::openEditor(ModuleHandle moduleInstance, WindowHandle parentWindow) {
    setEditedEffect(this);
    return openEditorPanel(moduleInstance, parentWindow);
}

int32_t TriangleEffect::liveInstanceCount() { return g_liveInstances; }

char*& TriangleEffect::codeField(Section section) {
    switch (section) {
        case Section::Init: return initCode;
        case Section::Frame: return frameCode;
        case Section::Beat: return beatCode;
        case Section::Triangle: break;
    }
    return triangleCode;
}

void TriangleEffect::adoptSection(Section section, char* text) {
    if (text == nullptr) return;
    char* previous;
    {
        SpinLockGuard guard(codeLock);
        char*& field = codeField(section);
        previous = field;
        field = text;
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
    SpinLockGuard guard(codeLock);
    const char* text = const_cast<TriangleEffect*>(this)->codeField(section);
    return newCodeString(text, std::strlen(text));
}

bool TriangleEffect::copySections(char* (&texts)[kSectionCount]) const {
    SpinLockGuard guard(codeLock);
    for (int s = 0; s < kSectionCount; ++s) {
        const char* text = const_cast<TriangleEffect*>(this)->codeField(static_cast<Section>(s));
        texts[s] = newCodeString(text, std::strlen(text));
        if (texts[s] != nullptr) continue;
        for (int k = 0; k < s; ++k) freeCodeString(texts[k]);
        return false;
    }
    return true;
}
