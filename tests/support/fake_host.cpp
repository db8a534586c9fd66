#include "support/fake_host.h"

#include <algorithm>
#include <stdexcept>

struct FakeHost::Context {
    Vars vars;
    bool freed = false;
};

struct FakeHost::Code {
    Context* context;
    std::string text;
};

namespace {
FakeHost* g_current = nullptr;
}

double& FakeHost::Vars::operator[](const std::string& name) {
    std::unique_ptr<double>& slot = values_[name];
    if (!slot) slot = std::make_unique<double>(0.0);
    return *slot;
}

FakeHost::FakeHost() {
    table_.blendModeWord = &blendModeWord;
    table_.createContext = &FakeHost::createContext;
    table_.freeContext = &FakeHost::freeContext;
    table_.registerVariable = &FakeHost::registerVariable;
    table_.compileCode = &FakeHost::compileCode;
    table_.executeCode = &FakeHost::executeCode;
    table_.freeCode = &FakeHost::freeCode;
    g_current = this;
    host::setServices(&table_);
}

FakeHost::~FakeHost() {
    for (Code* code : liveCodes_) delete code;
    host::setServices(nullptr);
    g_current = nullptr;
}

FakeHost::Vars& FakeHost::vars() {
    if (latest_ == nullptr) throw std::logic_error("no context was created");
    return latest_->vars;
}

int FakeHost::count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

int FakeHost::liveContexts() const {
    return static_cast<int>(
        std::count_if(contexts_.begin(), contexts_.end(), [](const std::unique_ptr<Context>& c) { return !c->freed; }));
}

host::ScriptContext HOST_CDECL FakeHost::createContext() {
    FakeHost& host = *g_current;
    host.calls.push_back("createContext");
    if (host.refuseContexts > 0) {
        --host.refuseContexts;
        return nullptr;
    }
    host.contexts_.push_back(std::make_unique<Context>());
    host.latest_ = host.contexts_.back().get();
    return reinterpret_cast<host::ScriptContext>(host.latest_);
}

void HOST_CDECL FakeHost::freeContext(host::ScriptContext context) {
    g_current->calls.push_back("freeContext");
    reinterpret_cast<Context*>(context)->freed = true;
}

double* HOST_CDECL FakeHost::registerVariable(host::ScriptContext context, const char* name) {
    FakeHost& host = *g_current;
    host.calls.push_back(std::string("register:") + name);
    Vars& vars = reinterpret_cast<Context*>(context)->vars;
    const bool known = vars.has(name);
    double& value = vars[name];
    if (!known) value = host.newVariableValue;
    return &value;
}

host::CodeHandle HOST_CDECL FakeHost::compileCode(host::ScriptContext context, const char* text) {
    FakeHost& host = *g_current;
    host.calls.push_back(std::string("compile:") + text);
    if (host.whileCompiling) host.whileCompiling(text);
    if (host.failCompile.count(text) != 0) return nullptr;
    Code* code = new Code{reinterpret_cast<Context*>(context), text};
    host.liveCodes_.insert(code);
    return reinterpret_cast<host::CodeHandle>(code);
}

void HOST_CDECL FakeHost::executeCode(host::CodeHandle code, host::VisData*) {
    FakeHost& host = *g_current;
    Code* compiled = reinterpret_cast<Code*>(code);
    host.calls.push_back("execute:" + compiled->text);
    auto script = host.scripts_.find(compiled->text);
    if (script != host.scripts_.end()) script->second(compiled->context->vars);
}

void HOST_CDECL FakeHost::freeCode(host::CodeHandle code) {
    FakeHost& host = *g_current;
    Code* compiled = reinterpret_cast<Code*>(code);
    if (host.liveCodes_.erase(compiled) == 0) {
        host.calls.push_back("freeCode:unknown");
        return;
    }
    host.calls.push_back("freeCode:" + compiled->text);
    delete compiled;
}
