// The module under test, loaded through its exports the way the host does.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "effect/effect_base.h"
#include "host/host_services.h"

extern "C" {
typedef effect::EffectBase*(HOST_CDECL* EffectFactoryFn)(char* descriptionBuffer);
typedef int32_t(HOST_CDECL* RetrFuncFn)(void* hostHandle, const char** identifierOut, EffectFactoryFn* factoryOut);
typedef void(HOST_CDECL* SetExtInfoFn)(void* hostHandle, const host::HostServices* services);
}

struct LoadedModule {
    HMODULE handle = nullptr;
    EffectFactoryFn factory = nullptr;
    SetExtInfoFn setExtInfo = nullptr;
};

// Loads the module once; false with a reason when it cannot be used.
bool loadModule(const std::string& path, std::string* error);
const LoadedModule& loadedModule();

struct EffectDeleter {
    void operator()(effect::EffectBase* effect) const {
        if (effect != nullptr) effect->destroy(effect::EffectBase::kFreeMemory);
    }
};
using EffectPtr = std::unique_ptr<effect::EffectBase, EffectDeleter>;

// A new effect from the module's factory (null when it refuses).
EffectPtr createEffect();
