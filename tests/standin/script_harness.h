// One stand-in context reached through the services table, as the effect
// reaches it, with helpers to compile, run and read variables.
#pragma once

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "standin/standin_host.h"

namespace standin_test {

class ScriptHarness {
public:
    ScriptHarness() : host(*standin_services()), context(host.createContext()) {}
    ~ScriptHarness() {
        for (host::CodeHandle code : codes_) host.freeCode(code);
        host.freeContext(context);
    }
    ScriptHarness(const ScriptHarness&) = delete;
    ScriptHarness& operator=(const ScriptHarness&) = delete;

    double* var(const char* name) { return host.registerVariable(context, name); }

    // Null when the text does not compile; freed with the harness.
    host::CodeHandle compile(const std::string& text) {
        host::CodeHandle code = host.compileCode(context, text.c_str());
        if (code != nullptr) codes_.push_back(code);
        return code;
    }

    // Compiles and runs text once with visData as the frame's data block;
    // false when it does not compile.
    bool run(const std::string& text, host::VisData* visData = nullptr) {
        host::CodeHandle code = compile(text);
        if (code == nullptr) return false;
        host.executeCode(code, visData);
        return true;
    }

    // The value of an expression, through an assignment to a registered
    // variable; NaN with a test failure when it does not compile.
    double value(const std::string& expression, host::VisData* visData = nullptr) {
        double* result = var("result");
        *result = std::numeric_limits<double>::quiet_NaN();
        if (!run("result = (" + expression + ")", visData)) {
            ADD_FAILURE() << "does not compile: " << expression;
            return std::numeric_limits<double>::quiet_NaN();
        }
        return *result;
    }

    const host::HostServices& host;
    host::ScriptContext context;

private:
    std::vector<host::CodeHandle> codes_;
};

// Text repeated count times.
inline std::string repeat(const std::string& text, size_t count) {
    std::string out;
    out.reserve(text.size() * count);
    for (size_t k = 0; k < count; ++k) out += text;
    return out;
}

}  // namespace standin_test
