// Sizing and cloning large matrices.
#include <benchmark/benchmark.h>

#include "core/matrix.h"

static void BM_SizeAndClone(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        corvane::Matrix a, b;
        benchmark::DoNotOptimize(a.Size(n, n));
        benchmark::DoNotOptimize(a.Clone(&b));
    }
}
BENCHMARK(BM_SizeAndClone)->Arg(100)->Arg(500);

BENCHMARK_MAIN();
