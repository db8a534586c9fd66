// A host services table of the test's own that records what the module asks
// of it, so tests know which texts were compiled and when.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host_services.h"

class RecordingHost {
public:
    RecordingHost();
    ~RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    const host::HostServices* table() const { return &table_; }

    // Texts given to compileCode since the last clearCompiled().
    std::vector<std::string> compiled;
    // Runs inside compileCode: what a host does while it compiles (show an
    // error box, pump window messages...).
    std::function<void(const std::string& text)> whileCompiling;
    void clearCompiled() { compiled.clear(); }

private:
    struct Context {
        std::map<std::string, double> variables;
    };
    static host::ScriptContext HOST_CDECL createContext();
    static void HOST_CDECL freeContext(host::ScriptContext context);
    static double* HOST_CDECL registerVariable(host::ScriptContext context, const char* name);
    static host::CodeHandle HOST_CDECL compileCode(host::ScriptContext context, const char* text);
    static void HOST_CDECL executeCode(host::CodeHandle code, host::VisData* visData);
    static void HOST_CDECL freeCode(host::CodeHandle code);

    host::HostServices table_{};
    uint32_t blendModeWord_ = 0;
    std::vector<std::unique_ptr<Context>> contexts_;
};
