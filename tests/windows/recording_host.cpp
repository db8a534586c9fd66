#include "recording_host.h"

namespace {
RecordingHost* g_host = nullptr;
// Code handles only need to be distinct and non-null.
struct Code {
    std::string text;
};
}  // namespace

RecordingHost::RecordingHost() {
    table_.blendModeWord = &blendModeWord_;
    table_.createContext = &RecordingHost::createContext;
    table_.freeContext = &RecordingHost::freeContext;
    table_.registerVariable = &RecordingHost::registerVariable;
    table_.compileCode = &RecordingHost::compileCode;
    table_.executeCode = &RecordingHost::executeCode;
    table_.freeCode = &RecordingHost::freeCode;
    g_host = this;
}

RecordingHost::~RecordingHost() { g_host = nullptr; }

host::ScriptContext HOST_CDECL RecordingHost::createContext() {
    g_host->contexts_.push_back(std::make_unique<Context>());
    return reinterpret_cast<host::ScriptContext>(g_host->contexts_.back().get());
}

void HOST_CDECL RecordingHost::freeContext(host::ScriptContext) {}

double* HOST_CDECL RecordingHost::registerVariable(host::ScriptContext context, const char* name) {
    return &reinterpret_cast<Context*>(context)->variables[name];
}

host::CodeHandle HOST_CDECL RecordingHost::compileCode(host::ScriptContext, const char* text) {
    g_host->compiled.push_back(text);
    if (g_host->whileCompiling) g_host->whileCompiling(text);
    return reinterpret_cast<host::CodeHandle>(new Code{text});
}

void HOST_CDECL RecordingHost::executeCode(host::CodeHandle, host::VisData*) {}

void HOST_CDECL RecordingHost::freeCode(host::CodeHandle code) { delete reinterpret_cast<Code*>(code); }
