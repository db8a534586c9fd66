// memcpy and memset over one frame: what a fill can hope to reach.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "bench_frames.h"
#include "bench_registry.h"

namespace bench {

void registerBandwidthBenchmarks() {
    for (const FrameSize& size : kFrameSizes) {
        const size_t bytes = static_cast<size_t>(size.pixels()) * sizeof(uint32_t);
        benchmark::RegisterBenchmark(("memcpy/" + std::string(size.name)).c_str(), [size, bytes](benchmark::State& state) {
            for (auto _ : state) {
                std::memcpy(copyTarget(), copySource(), bytes);
                benchmark::ClobberMemory();
            }
            state.SetItemsProcessed(state.iterations() * size.pixels());
            state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
        });
        benchmark::RegisterBenchmark(("memset/" + std::string(size.name)).c_str(), [size, bytes](benchmark::State& state) {
            int value = 0;
            for (auto _ : state) {
                std::memset(copyTarget(), ++value & 0xFF, bytes);
                benchmark::ClobberMemory();
            }
            state.SetItemsProcessed(state.iterations() * size.pixels());
            state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
        });
    }
}

}  // namespace bench
