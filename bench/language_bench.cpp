// The stand-in language: a loop body of a few arithmetic operations, memory
// reads and writes, and compiling a long script. Items are loop iterations
// (or script lines), so the summary can give nanoseconds per item.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_registry.h"
#include "standin/standin_host.h"

namespace bench {
namespace {

constexpr int kIterations = 1000000;  // within the limit of one loop call

// Compiles text in a fresh context and runs it once per benchmark iteration.
void runScript(benchmark::State& state, const std::string& text) {
    const host::HostServices& host = *standin_services();
    host::ScriptContext context = host.createContext();
    host::CodeHandle code = host.compileCode(context, text.c_str());
    if (code == nullptr) {
        state.SkipWithError("the benchmark's script does not compile");
        host.freeContext(context);
        return;
    }
    for (auto _ : state) host.executeCode(code, nullptr);
    state.SetItemsProcessed(state.iterations() * kIterations);
    host.freeCode(code);
    host.freeContext(context);
}

const std::string kCount = std::to_string(kIterations);

void emptyLoop(benchmark::State& state) { runScript(state, "repeat(" + kCount + ", 0)"); }

void arithmeticLoop(benchmark::State& state) {
    runScript(state, "x = 0; y = 1; repeat(" + kCount + ", (x += 1; y = y * 0.999 + x * 0.5 - 2))");
}

void whileLoop(benchmark::State& state) { runScript(state, "x = 0; while(x < " + kCount + ", x += 1)"); }

// The element's index is a variable: the baseline loads it, the others read
// or write the element it names, so the difference is the memory access.
void indexLoop(benchmark::State& state) { runScript(state, "k = 12345; repeat(" + kCount + ", k)"); }
void memoryReadLoop(benchmark::State& state) { runScript(state, "k = 12345; repeat(" + kCount + ", mem[k])"); }
void memoryWriteLoop(benchmark::State& state) {
    runScript(state, "k = 12345; repeat(" + kCount + ", mem[k] = 1)");
}

void compileLongScript(benchmark::State& state) {
    constexpr int kLines = 1000;
    std::string text;
    for (int line = 0; line < kLines; ++line) {
        const std::string k = std::to_string(line);
        text += "v" + k + " = sin(t * " + k + ".5) * mem[i + " + k + "] + (x1 > " + k + " ? y1 : clamp(x2, 0, 1));\n";
    }
    const host::HostServices& host = *standin_services();
    host::ScriptContext context = host.createContext();
    for (auto _ : state) {
        host::CodeHandle code = host.compileCode(context, text.c_str());
        if (code == nullptr) {
            state.SkipWithError("the long script does not compile");
            break;
        }
        host.freeCode(code);
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    host.freeContext(context);
}

}  // namespace

void registerLanguageBenchmarks() {
    benchmark::RegisterBenchmark("language/empty_loop", emptyLoop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("language/arithmetic_loop", arithmeticLoop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("language/while_loop", whileLoop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("language/index_loop", indexLoop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("language/memory_read_loop", memoryReadLoop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("language/memory_write_loop", memoryWriteLoop)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("language/compile_1000_lines", compileLongScript)->Unit(benchmark::kMillisecond);
}

}  // namespace bench
