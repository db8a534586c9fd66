// The table of services the visualization host hands the module through
// _ZENTH_KIRO_SetExtInfo. The table belongs to the host and is read in place;
// the module keeps only the pointer.
#pragma once

#include <cstdint>

#if defined(_WIN32) && defined(__i386__)
#define HOST_CDECL __cdecl
#else
#define HOST_CDECL
#endif

namespace host {

// Opaque host objects. Null means there is none.
struct HostScriptContext;
struct HostCode;
struct VisData;

using ScriptContext = HostScriptContext*;
using CodeHandle = HostCode*;

extern "C" {
typedef ScriptContext(HOST_CDECL* CreateContextFn)();
typedef void(HOST_CDECL* FreeContextFn)(ScriptContext context);
typedef double*(HOST_CDECL* RegisterVariableFn)(ScriptContext context, const char* name);
typedef CodeHandle(HOST_CDECL* CompileCodeFn)(ScriptContext context, const char* text);
typedef void(HOST_CDECL* ExecuteCodeFn)(CodeHandle code, VisData* visData);
typedef void(HOST_CDECL* FreeCodeFn)(CodeHandle code);
}

// Slot layout is binding: one pointer-sized slot each, in this order.
struct HostServices {
    void* unused0;
    void* unused1;
    // Bits 0-7: blend mode; bits 8-15: mix ratio (mode 7). Never written by the module.
    const uint32_t* blendModeWord;
    CreateContextFn createContext;
    FreeContextFn freeContext;
    void* unused5;
    RegisterVariableFn registerVariable;
    CompileCodeFn compileCode;
    ExecuteCodeFn executeCode;
    FreeCodeFn freeCode;
};

static_assert(sizeof(HostServices) == 10 * sizeof(void*), "host table slots are pointer sized");

// The module's copy of the pointer the host handed in (null until given).
const HostServices* services();
void setServices(const HostServices* table);

}  // namespace host
