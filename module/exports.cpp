#include "module/exports.h"

#include <cstring>

#include "editor/editor_panel.h"
#include "effect/triangle_effect.h"

namespace {
const char kIdentifier[] = "Render: Triangle";
}  // namespace

EffectBase* HOST_CDECL createEffect(char* descriptionBuffer) {
    if (descriptionBuffer != nullptr) {
        std::memcpy(descriptionBuffer, TriangleEffect::kDescription, sizeof TriangleEffect::kDescription);
        return nullptr;
    }
    setPanelOpener(&editor::openEditorPanel);
    return TriangleEffect::create();
}

extern "C" int32_t HOST_CDECL _ZENTH_KIRO_RetrFunc(void* /*hostHandle*/, const char** identifierOut,
                                                   EffectFactory* factoryOut) {
    if (identifierOut != nullptr) *identifierOut = kIdentifier;
    if (factoryOut != nullptr) *factoryOut = &createEffect;
    return 1;
}

extern "C" void HOST_CDECL _ZENTH_KIRO_SetExtInfo(void* /*hostHandle*/, const HostServices* services) {
    host::setServices(services);
}
