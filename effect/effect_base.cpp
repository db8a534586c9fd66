#include "effect/effect_base.h"

namespace effect {

WindowHandle EFFECT_CALL EffectBase::openEditor(ModuleHandle, WindowHandle) { return nullptr; }

void EFFECT_CALL EffectBase::loadConfig(const unsigned char*, int32_t) {}

int32_t EFFECT_CALL EffectBase::saveConfig(unsigned char*) { return 0; }

}  // namespace effect
