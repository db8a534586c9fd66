// The stand-in host's compiler and interpreter on arbitrary text, reached
// through the services table as the effect reaches it: a context with the
// effect's 23 registered variables, the text compiled, and the code run a
// few times with a made-up music block (every run is bounded: loops stop at
// the limit of a run).
//
// Checked beyond "no crash, no hang": the quick syntax check and compileCode
// agree; two fresh contexts running the same code end with bit-identical
// variables (nothing reads uninitialised or stale state), unless the text
// names shared memory, which the first run may have changed for the second;
// every context and code handle is released again; and the engine's rewrites
// and threaded interpreter give the same bits as the plain stack code run by
// the reference interpreter.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "effect/script_vars.h"
#include "standin/music_frame.h"
#include "standin/rewrite_check.h"
#include "standin/standin_host.h"

namespace {

constexpr int kRuns = 3;

// A frame of music with something in every field, for the music functions.
standin::MusicFrame* musicFrame() {
    static standin::MusicFrame* frame = [] {
        auto* made = new standin::MusicFrame;
        made->time = 1.5;
        made->frameIndex = 90;
        made->tempo = 120;
        made->bass = 1.25;
        made->mid = 0.5;
        made->treble = 2;
        made->binHz = 10.7666015625;
        for (int k = 0; k < standin::MusicFrame::kWaveSamples; ++k) {
            made->wave[0][k] = static_cast<float>(k % 64) / 32.0f - 1.0f;
            made->wave[1][k] = -made->wave[0][k];
        }
        for (int k = 0; k < standin::MusicFrame::kSpectrumBins; ++k) {
            made->spectrum[0][k] = static_cast<float>(k % 17) / 17.0f;
            made->spectrum[1][k] = static_cast<float>(k % 5) / 5.0f;
        }
        return made;
    }();
    return frame;
}

bool namesShared(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower.find("shared") != std::string::npos;
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "script_fuzzer: %s\n", what);
    std::abort();
}

struct Run {
    double* vars[effect::kScriptVarCount] = {};
    bool compiled = false;
};

// Registers the effect's variables with its starting values, compiles text
// and runs it kRuns times. Returns the context for the caller to free.
host::ScriptContext compileAndRun(const host::HostServices& host, const char* text, Run& run) {
    host::ScriptContext context = host.createContext();
    if (context == nullptr) fail("no context");
    for (int k = 0; k < effect::kScriptVarCount; ++k) {
        const effect::ScriptVarSpec& entry = effect::kScriptVarSpecs[k];
        run.vars[k] = host.registerVariable(context, entry.name);
        if (run.vars[k] == nullptr) fail("registerVariable refused one of the effect's names");
        *run.vars[k] = entry.hasStartValue ? entry.startValue : 0.0;
    }
    *run.vars[0] = 64.0;  // w
    *run.vars[1] = 48.0;  // h
    host::CodeHandle code = host.compileCode(context, text);
    run.compiled = code != nullptr;
    for (int k = 0; k < kRuns && code != nullptr; ++k) host.executeCode(code, standin::asVisData(musicFrame()));
    host.freeCode(code);
    return context;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Used as a C string, so the text ends at its first NUL as the effect's would.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const host::HostServices& host = *standin_services();
    const int32_t contextsBefore = standin_live_contexts();
    const int32_t codesBefore = standin_live_codes();

    Run first;
    Run second;
    host::ScriptContext a = compileAndRun(host, text.c_str(), first);
    host::ScriptContext b = compileAndRun(host, text.c_str(), second);

    if (first.compiled != second.compiled) fail("the same text compiled once and failed once");
    StandinDiagnostic diagnostic;
    if ((standin_check_script(text.c_str(), &diagnostic) == 1) != first.compiled)
        fail("standin_check_script disagrees with compileCode");
    if (!first.compiled && diagnostic.message[0] == '\0') fail("a failed compile without a message");
    for (int k = 0; k < effect::kScriptVarCount && !namesShared(text); ++k) {
        if (std::memcmp(first.vars[k], second.vars[k], sizeof(double)) != 0) fail("runs differ between contexts");
    }

    // One run each way (a runaway loop costs the limit of a run every time),
    // with ordinary or awkward starting values by the input's length.
    const standin::Start start = size % 2 == 0 ? standin::Start::Ordinary : standin::Start::Awkward;
    const std::string difference = standin::RewriteCheck::compare({text.c_str()}, start, 1, musicFrame());
    if (!difference.empty()) fail(("rewritten code differs from the plain code: " + difference).c_str());

    host.freeContext(a);
    host.freeContext(b);
    if (standin_live_contexts() != contextsBefore || standin_live_codes() != codesBefore) fail("handles leaked");
    return 0;
}
