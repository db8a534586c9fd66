// A host whose "scripts" are C++ functions keyed by their text, and which logs
// every call the effect makes, so tests know exactly what each section does.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/host_services.h"

class FakeHost {
public:
    // The variables of one context, by name.
    class Vars {
    public:
        double& operator[](const std::string& name);
        bool has(const std::string& name) const { return values_.count(name) != 0; }

    private:
        std::map<std::string, std::unique_ptr<double>> values_;
    };
    using Script = std::function<void(Vars&)>;

    // Installs a fresh host as the module's services table.
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // Code compiled from `text` runs `script`. Texts without a script compile
    // to code that does nothing, unless listed in failCompile.
    void define(const std::string& text, Script script) { scripts_[text] = std::move(script); }

    // Variables of the most recent context.
    Vars& vars();

    std::vector<std::string> calls;       // "createContext", "register:w", "compile:<text>", "execute:<text>", ...
    std::set<std::string> failCompile;    // texts that compile to null
    // Runs inside compileCode, after the call is logged: what a host does
    // while it compiles (show an error box, pump window messages...).
    std::function<void(const std::string& text)> whileCompiling;
    int refuseContexts = 0;               // the next N createContext calls return null
    double newVariableValue = 0.0;        // what a newly registered variable holds
    uint32_t blendModeWord = 0;
    const host::HostServices& table() const { return table_; }

    int count(const std::string& call) const;
    // Contexts and code handles the effect has not freed yet.
    int liveContexts() const;
    int liveCodes() const { return static_cast<int>(liveCodes_.size()); }
    // Calls logged since the last clearCalls().
    void clearCalls() { calls.clear(); }

private:
    struct Context;
    struct Code;
    static host::ScriptContext HOST_CDECL createContext();
    static void HOST_CDECL freeContext(host::ScriptContext context);
    static double* HOST_CDECL registerVariable(host::ScriptContext context, const char* name);
    static host::CodeHandle HOST_CDECL compileCode(host::ScriptContext context, const char* text);
    static void HOST_CDECL executeCode(host::CodeHandle code, host::VisData* visData);
    static void HOST_CDECL freeCode(host::CodeHandle code);

    host::HostServices table_{};
    std::map<std::string, Script> scripts_;
    std::vector<std::unique_ptr<Context>> contexts_;
    // Codes are freed with the host when the effect could not free them (it
    // had no table by then); a code freed twice is logged, not deleted twice.
    std::set<Code*> liveCodes_;
    Context* latest_ = nullptr;
};
