#include "loaded_module.h"

namespace {
LoadedModule g_module;

// GetProcAddress's generic type says nothing of the real one; go through void*.
template <typename Function>
Function entryPoint(HMODULE handle, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
}

// Wine maps a Unix path through the current drive only when it is Z:.
std::string windowsPath(const std::string& path) { return !path.empty() && path[0] == '/' ? "Z:" + path : path; }
}  // namespace

bool loadModule(const std::string& path, std::string* error) {
    const HMODULE handle = LoadLibraryA(windowsPath(path).c_str());
    if (handle == nullptr) {
        *error = "LoadLibraryA failed for " + path;
        return false;
    }
    const auto retrFunc = entryPoint<RetrFuncFn>(handle, "_ZENTH_KIRO_RetrFunc");
    const auto setExtInfo = entryPoint<SetExtInfoFn>(handle, "_ZENTH_KIRO_SetExtInfo");
    if (retrFunc == nullptr || setExtInfo == nullptr) {
        *error = "the module lacks the host's entry points";
        return false;
    }
    const char* identifier = nullptr;
    EffectFactoryFn factory = nullptr;
    if (retrFunc(nullptr, &identifier, &factory) != 1 || factory == nullptr) {
        *error = "_ZENTH_KIRO_RetrFunc gave no factory";
        return false;
    }
    g_module = {handle, factory, setExtInfo};
    return true;
}

const LoadedModule& loadedModule() { return g_module; }

EffectPtr createEffect() { return EffectPtr(loadedModule().factory(nullptr)); }
