// The module's two entry points and the factory they hand out.
#pragma once

#include <cstdint>

#include "effect/effect_base.h"
#include "host/host_services.h"

extern "C" {
typedef EffectBase*(HOST_CDECL* EffectFactory)(char* descriptionBuffer);

int32_t HOST_CDECL _ZENTH_KIRO_RetrFunc(void* hostHandle, const char** identifierOut, EffectFactory* factoryOut);
void HOST_CDECL _ZENTH_KIRO_SetExtInfo(void* hostHandle, const HostServices* services);
}

// With a buffer: copies the description (18 bytes) into it and returns null.
// Without: a new effect, or null when memory is exhausted.
EffectBase* HOST_CDECL createEffect(char* descriptionBuffer);
