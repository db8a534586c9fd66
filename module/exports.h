// The module's two entry points and the factory they hand out.
#pragma once

#include <cstdint>

#include "effect/effect_base.h"
#include "host/host_services.h"

namespace module {

extern "C" {
typedef effect::EffectBase*(HOST_CDECL* EffectFactory)(char* descriptionBuffer);
}

// With a buffer: copies the description (18 bytes) into it and returns null.
// Without: a new effect, or null when memory is exhausted.
effect::EffectBase* HOST_CDECL createEffect(char* descriptionBuffer);

}  // namespace module

// The host finds these two by name: plain C names at global scope.
extern "C" {
int32_t HOST_CDECL _ZENTH_KIRO_RetrFunc(void* hostHandle, const char** identifierOut,
                                        module::EffectFactory* factoryOut);
void HOST_CDECL _ZENTH_KIRO_SetExtInfo(void* hostHandle, const host::HostServices* services);
}
