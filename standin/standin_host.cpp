// The host services glue: the HostServices table over the stand-in engine,
// the handle registry behind the leak counts, and the C interface of
// standin_host.h. Nothing here lets an exception out.
//
// Handles are checked against a registry, so null, foreign and already freed
// handles are ignored by every call (executeCode checks through a one-entry
// cache, so that running the same code again and again costs one compare).
//
// Freeing a context that still has codes: the context handle dies at once
// (it no longer counts as live, and registerVariable and compileCode refuse
// it), but its variables and random generator live on until its last code
// is freed; those codes still run, on variables nobody else can reach.
#include <atomic>
#include <cstdio>
#include <new>
#include <string>
#include <unordered_set>

#include "host/spin_lock.h"
#include "standin/compiler.h"
#include "standin/standin_host.h"

struct host::HostScriptContext {
    standin::Context context;
    int32_t references = 1;  // the host's handle, plus one per live code
};

struct host::HostCode {
    standin::Program program;
    host::HostScriptContext* owner = nullptr;
};

namespace {

// The registry's lock; contention is rare and short.
host::SpinLock g_registryLock;
struct Lock {
    host::SpinLockGuard guard{g_registryLock};
};

// Guarded by Lock. Never destroyed, so that handles freed by static
// destructors at exit still find them.
std::unordered_set<const host::HostScriptContext*>& liveContexts() {
    static auto* set = new std::unordered_set<const host::HostScriptContext*>;
    return *set;
}
std::unordered_set<const host::HostCode*>& liveCodes() {
    static auto* set = new std::unordered_set<const host::HostCode*>;
    return *set;
}
bool g_haveDiagnostic = false;
StandinDiagnostic g_diagnostic = {};

// The code executeCode last found in the registry; cleared when freed.
std::atomic<const host::HostCode*> g_lastRun{nullptr};

uint32_t g_blendModeWord = 0;

StandinDiagnostic makeDiagnostic(int32_t line, int32_t column, const char* message) {
    StandinDiagnostic diagnostic = {};
    diagnostic.line = line;
    diagnostic.column = column;
    std::snprintf(diagnostic.message, sizeof diagnostic.message, "%s", message);
    return diagnostic;
}

void setLastDiagnostic(const StandinDiagnostic* diagnostic) {
    Lock lock;
    g_haveDiagnostic = diagnostic != nullptr;
    g_diagnostic = diagnostic != nullptr ? *diagnostic : StandinDiagnostic{};
}

bool isLiveContext(const host::HostScriptContext* context) {
    Lock lock;
    return liveContexts().count(context) != 0;
}

// Drops one reference (under Lock); true when it was the last.
bool release(host::HostScriptContext* context) { return --context->references == 0; }

// Compiles text in context; on failure returns null and fills *diagnostic.
host::HostCode* compileIn(host::HostScriptContext* context, const char* text, StandinDiagnostic* diagnostic) {
    try {
        host::HostCode* code = new host::HostCode{standin::compile(text, context->context), context};
        Lock lock;
        try {
            liveCodes().insert(code);
        } catch (...) {
            delete code;
            throw;
        }
        ++context->references;
        return code;
    } catch (const standin::CompileError& error) {
        *diagnostic = makeDiagnostic(error.pos.line, error.pos.column, error.message.c_str());
    } catch (...) {
        *diagnostic = makeDiagnostic(0, 0, "out of memory");
    }
    return nullptr;
}

host::ScriptContext HOST_CDECL createContext() {
    host::HostScriptContext* context = new (std::nothrow) host::HostScriptContext;
    if (context == nullptr) return nullptr;
    try {
        Lock lock;
        liveContexts().insert(context);
    } catch (...) {
        delete context;
        return nullptr;
    }
    return context;
}

void HOST_CDECL freeContext(host::ScriptContext context) {
    if (context == nullptr) return;
    bool last = false;
    {
        Lock lock;
        if (liveContexts().erase(context) == 0) return;
        last = release(context);
    }
    if (last) delete context;
}

double* HOST_CDECL registerVariable(host::ScriptContext context, const char* name) {
    if (context == nullptr || name == nullptr) return nullptr;
    try {
        const std::string lower = standin::Context::lowerCase(name);
        // Names that scripts could not reach as variables are refused.
        if (!standin::isIdentifier(lower) || lower == "pi") return nullptr;
        if (!isLiveContext(context)) return nullptr;
        return context->context.variable(lower);
    } catch (...) {
        return nullptr;
    }
}

host::CodeHandle HOST_CDECL compileCode(host::ScriptContext context, const char* text) {
    StandinDiagnostic diagnostic = {};
    host::HostCode* code = nullptr;
    if (context == nullptr) {
        diagnostic = makeDiagnostic(0, 0, "no context");
    } else if (text == nullptr) {
        diagnostic = makeDiagnostic(0, 0, "no text");
    } else if (!isLiveContext(context)) {
        diagnostic = makeDiagnostic(0, 0, "unknown context");
    } else {
        code = compileIn(context, text, &diagnostic);
    }
    setLastDiagnostic(code != nullptr ? nullptr : &diagnostic);
    return code;
}

void HOST_CDECL executeCode(host::CodeHandle code, host::VisData* visData) {
    if (code == nullptr) return;
    if (g_lastRun.load(std::memory_order_relaxed) != code) {
        Lock lock;
        if (liveCodes().count(code) == 0) return;
        g_lastRun.store(code, std::memory_order_relaxed);
    }
    // Every run sets the block it reads, so a stale one is never read and
    // need not be cleared afterwards.
    code->owner->context.setFrame(standin::asMusicFrame(visData));
    code->program.run();
}

void HOST_CDECL freeCode(host::CodeHandle code) {
    if (code == nullptr) return;
    host::HostScriptContext* owner = nullptr;
    bool lastReference = false;
    {
        Lock lock;
        if (liveCodes().erase(code) == 0) return;
        if (g_lastRun.load(std::memory_order_relaxed) == code) g_lastRun.store(nullptr, std::memory_order_relaxed);
        owner = code->owner;
        lastReference = release(owner);
    }
    delete code;
    if (lastReference) delete owner;
}

const host::HostServices kServices = {
    nullptr,          nullptr,          &g_blendModeWord, createContext, freeContext,
    nullptr,          registerVariable, compileCode,      executeCode,   freeCode,
};

}  // namespace

extern "C" {

const host::HostServices* HOST_CDECL standin_services(void) { return &kServices; }

void HOST_CDECL standin_set_blend_mode_word(uint32_t word) { g_blendModeWord = word; }

int32_t HOST_CDECL standin_last_diagnostic(StandinDiagnostic* out) {
    Lock lock;
    if (!g_haveDiagnostic) return 0;
    if (out != nullptr) *out = g_diagnostic;
    return 1;
}

int32_t HOST_CDECL standin_check_script(const char* text, StandinDiagnostic* out) {
    StandinDiagnostic diagnostic = {};
    bool ok = false;
    if (text == nullptr) {
        diagnostic = makeDiagnostic(0, 0, "no text");
    } else {
        try {
            standin::Context scratch;
            standin::compile(text, scratch);
            ok = true;
        } catch (const standin::CompileError& error) {
            diagnostic = makeDiagnostic(error.pos.line, error.pos.column, error.message.c_str());
        } catch (...) {
            diagnostic = makeDiagnostic(0, 0, "out of memory");
        }
    }
    if (out != nullptr) *out = diagnostic;
    return ok ? 1 : 0;
}

int32_t HOST_CDECL standin_live_contexts(void) {
    Lock lock;
    return static_cast<int32_t>(liveContexts().size());
}

int32_t HOST_CDECL standin_live_codes(void) {
    Lock lock;
    return static_cast<int32_t>(liveCodes().size());
}

}  // extern "C"
