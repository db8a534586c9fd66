// Per-triangle scripts run three ways in one process: plain C++ compiled with
// the program (the floor), the stand-in host through its services table (as
// the effect runs it) and muparser, the peer. The three alternate in rounds
// (the first of a round rotates) and each round's ratios are kept, so that a
// change of machine load touches all three alike; the medians are reported.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "bench_registry.h"
#include "standin/standin_host.h"

#if BENCH_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace bench {
namespace {

constexpr int kRunsPerRound = 1000;

// Every variable either script names, at stable addresses for each engine.
struct Vars {
    double i, t, a, r, x1, y1, x2, y2, x3, y3, red1, green1, blue1;
};
const char* const kNames[] = {"i", "t", "a", "r", "x1", "y1", "x2", "y2", "x3", "y3", "red1", "green1", "blue1"};
constexpr int kNameCount = sizeof kNames / sizeof kNames[0];
double* field(Vars& v, int k) { return &v.i + k; }

struct Shape {
    const char* name;
    const char* standin;   // the stand-in's text
    const char* muparser;  // the same assignments in muparser's syntax
    void (*native)(Vars&);
};

// S1: five assignments with sin and cos.
[[gnu::noinline]] void nativeS1(Vars& v) {
    v.a = v.i * 1237.1 + v.t;
    v.x1 = 0.5 * std::sin(v.a);
    v.y1 = 0.5 * std::cos(v.a);
    v.x2 = v.x1 + 0.045;
    v.y2 = v.y1 + 0.06;
}

// S2: the small-triangle benchmark's triangle script, eleven assignments.
[[gnu::noinline]] void nativeS2(Vars& v) {
    v.a = v.i * 1237.1 + v.t;
    v.r = 0.85 * std::sqrt(v.i);
    v.x1 = v.r * std::sin(v.a);
    v.y1 = v.r * std::cos(v.a);
    v.x2 = v.x1 + 0.045;
    v.y2 = v.y1;
    v.x3 = v.x1;
    v.y3 = v.y1 + 0.06;
    v.red1 = v.i;
    v.green1 = 0.5 + 0.5 * std::sin(v.a);
    v.blue1 = 1 - v.i;
}

const Shape kShapes[] = {
    {"S1", "a = i * 1237.1 + t; x1 = 0.5 * sin(a); y1 = 0.5 * cos(a); x2 = x1 + 0.045; y2 = y1 + 0.06;",
     "a = i * 1237.1 + t, x1 = 0.5 * sin(a), y1 = 0.5 * cos(a), x2 = x1 + 0.045, y2 = y1 + 0.06", nativeS1},
    {"S2",
     "a = i * 1237.1 + t; r = 0.85 * sqrt(i);\n"
     "x1 = r * sin(a); y1 = r * cos(a); x2 = x1 + 0.045; y2 = y1; x3 = x1; y3 = y1 + 0.06;\n"
     "red1 = i; green1 = 0.5 + 0.5 * sin(a); blue1 = 1 - i;",
     "a = i * 1237.1 + t, r = 0.85 * sqrt(i), x1 = r * sin(a), y1 = r * cos(a), x2 = x1 + 0.045, y2 = y1, "
     "x3 = x1, y3 = y1 + 0.06, red1 = i, green1 = 0.5 + 0.5 * sin(a), blue1 = 1 - i",
     nativeS2},
};

using Clock = std::chrono::steady_clock;

// The index of a run within a round, as the driver sets i per triangle.
double triangleIndex(int run) { return run * (1.0 / kRunsPerRound); }

// Nanoseconds per run of one round of each engine.
double timeNative(const Shape& shape, Vars& v) {
    const auto start = Clock::now();
    for (int run = 0; run < kRunsPerRound; ++run) {
        v.i = triangleIndex(run);
        shape.native(v);
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kRunsPerRound;
}

double timeStandin(const host::HostServices& host, host::CodeHandle code, double* i) {
    const auto start = Clock::now();
    for (int run = 0; run < kRunsPerRound; ++run) {
        *i = triangleIndex(run);
        host.executeCode(code, nullptr);
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kRunsPerRound;
}

#if BENCH_HAVE_MUPARSER
double timeMuparser(mu::Parser& parser, Vars& v) {
    const auto start = Clock::now();
    for (int run = 0; run < kRunsPerRound; ++run) {
        v.i = triangleIndex(run);
        benchmark::DoNotOptimize(parser.Eval());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kRunsPerRound;
}
#endif

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

void compareEngines(benchmark::State& state, const Shape* shape) {
    const host::HostServices& host = *standin_services();
    host::ScriptContext context = host.createContext();
    double* standinVars[kNameCount];
    for (int k = 0; k < kNameCount; ++k) standinVars[k] = host.registerVariable(context, kNames[k]);
    host::CodeHandle code = host.compileCode(context, shape->standin);
    if (code == nullptr) {
        state.SkipWithError("the stand-in does not compile the script");
        host.freeContext(context);
        return;
    }
    Vars native = {};
#if BENCH_HAVE_MUPARSER
    Vars peerVars = {};
    mu::Parser parser;
    try {
        for (int k = 0; k < kNameCount; ++k) parser.DefineVar(kNames[k], field(peerVars, k));
        parser.SetExpr(shape->muparser);
        parser.Eval();
    } catch (const mu::Parser::exception_type& error) {
        state.SkipWithError(("muparser: " + error.GetMsg()).c_str());
        host.freeCode(code);
        host.freeContext(context);
        return;
    }
#endif
    std::vector<double> nativeNs, standinNs, peerNs, standinRatio, peerRatio;
    int round = 0;
    for (auto _ : state) {
        double ns[3] = {0, 0, 0};
        for (int step = 0; step < 3; ++step) {
            switch ((round + step) % 3) {
                case 0: ns[0] = timeNative(*shape, native); break;
                case 1: ns[1] = timeStandin(host, code, standinVars[0]); break;
#if BENCH_HAVE_MUPARSER
                case 2: ns[2] = timeMuparser(parser, peerVars); break;
#endif
                default: break;
            }
        }
        ++round;
        nativeNs.push_back(ns[0]);
        standinNs.push_back(ns[1]);
        peerNs.push_back(ns[2]);
        standinRatio.push_back(ns[1] / ns[0]);
        peerRatio.push_back(ns[2] / ns[0]);
    }
    // The engines must agree, or the comparison means nothing.
    Vars check = {};
    check.i = 0.25;
    shape->native(check);
    *standinVars[0] = 0.25;
    host.executeCode(code, nullptr);
    for (int k = 0; k < kNameCount; ++k) {
        if (std::fabs(*standinVars[k] - *field(check, k)) > 1e-9)
            state.SkipWithError("the stand-in disagrees with native C++");
    }
    state.counters["native_ns"] = median(nativeNs);
    state.counters["standin_ns"] = median(standinNs);
    state.counters["standin_x_native"] = median(standinRatio);
#if BENCH_HAVE_MUPARSER
    state.counters["muparser_ns"] = median(peerNs);
    state.counters["muparser_x_native"] = median(peerRatio);
#endif
    host.freeCode(code);
    host.freeContext(context);
}

// What executeCode costs around the script: an empty script run again and again.
void executeOverhead(benchmark::State& state) {
    const host::HostServices& host = *standin_services();
    host::ScriptContext context = host.createContext();
    host::CodeHandle code = host.compileCode(context, "");
    for (auto _ : state) {
        host.executeCode(code, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    host.freeCode(code);
    host.freeContext(context);
}

}  // namespace

void registerEngineBenchmarks() {
    for (const Shape& shape : kShapes)
        benchmark::RegisterBenchmark((std::string("engine/") + shape.name).c_str(), compareEngines, &shape);
    benchmark::RegisterBenchmark("engine/execute_empty", executeOverhead);
}

}  // namespace bench
