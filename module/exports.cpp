#include "module/exports.h"

#include <cstring>

#include "editor/editor_panel.h"
#include "effect/triangle_effect.h"

namespace module {

namespace {
const char kIdentifier[] = "Render: Triangle";
}  // namespace

effect::EffectBase* HOST_CDECL createEffect(char* descriptionBuffer) {
    if (descriptionBuffer != nullptr) {
        std::memcpy(descriptionBuffer, effect::TriangleEffect::kDescription,
                    sizeof effect::TriangleEffect::kDescription);
        return nullptr;
    }
    effect::setPanelOpener(&editor::openEditorPanel);
    return effect::TriangleEffect::create();
}

}  // namespace module

extern "C" int32_t HOST_CDECL _ZENTH_KIRO_RetrFunc(void* /*hostHandle*/, const char** identifierOut,
                                                   module::EffectFactory* factoryOut) {
    if (identifierOut != nullptr) *identifierOut = module::kIdentifier;
    if (factoryOut != nullptr) *factoryOut = &module::createEffect;
    return 1;
}

extern "C" void HOST_CDECL _ZENTH_KIRO_SetExtInfo(void* /*hostHandle*/, const host::HostServices* services) {
    host::setServices(services);
}
