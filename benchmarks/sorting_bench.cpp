// Sorting rows and columns of large matrices on random and adversarial keys,
// and the text of a matrix.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/matrix.h"
#include "core/sorting.h"
#include "core/text_output.h"

namespace {

// Keys: 0 random, 1 organ pipe, 2 all equal.
corvane::Matrix Keys(std::int32_t rows, std::int32_t cols, int pattern) {
    corvane::Matrix m;
    (void)m.Size(rows, cols);
    std::uint32_t s = 12345;
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) {
            s = s * 1664525u + 1013904223u;
            m.at(i, j) = pattern == 0 ? s : pattern == 1 ? (i < rows / 2 ? i : rows - i) : 1.0;
        }
    return m;
}

void BM_SortRows(benchmark::State& state) {
    const corvane::Matrix original =
        Keys(static_cast<std::int32_t>(state.range(0)), 4, static_cast<int>(state.range(1)));
    corvane::Buffer<std::int32_t> perm;
    for (auto _ : state) {
        state.PauseTiming();
        corvane::Matrix m;
        (void)original.Clone(&m);
        state.ResumeTiming();
        benchmark::DoNotOptimize(corvane::SortRows(m, 0, corvane::msoAscending, &perm));
    }
}
BENCHMARK(BM_SortRows)->Args({100000, 0})->Args({100000, 1})->Args({100000, 2});

void BM_SortCols(benchmark::State& state) {
    corvane::Matrix m = Keys(200, static_cast<std::int32_t>(state.range(0)), 0);
    corvane::Buffer<std::int32_t> perm;
    std::int32_t order = 0;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::SortCols(m, 0, order ^= 1, &perm));
}
BENCHMARK(BM_SortCols)->Arg(1000);

void BM_GetString(benchmark::State& state) {
    const corvane::Matrix m = Keys(200, 200, 0);
    corvane::Buffer<char> text;
    for (auto _ : state)
        benchmark::DoNotOptimize(corvane::GetString(m, static_cast<std::int16_t>(state.range(0)), {}, &text));
}
BENCHMARK(BM_GetString)->Arg(3)->Arg(40);

}  // namespace

BENCHMARK_MAIN();
