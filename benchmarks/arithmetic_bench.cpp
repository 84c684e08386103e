// Times of two n × n matrices against a straightforward triple loop over row
// pointers (one dot product per element), and the two product kernels alone.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/arithmetic.h"
#include "core/product_kernels.h"

namespace {

corvane::Matrix Filled(std::int32_t n, double seed) {
    corvane::Matrix m;
    (void)m.Size(n, n);
    double x = seed;
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) {
            x = x * 1.0000001 + 0.37;
            if (x > 1.0) x -= 2.0;
            m.at(i, j) = x;
        }
    return m;
}

// The straightforward triple loop: for each (i, j), s over k of a(i, k)·b(k, j).
void BM_TripleLoop(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const corvane::Matrix a = Filled(n, 0.1), b = Filled(n, -0.4);
    corvane::Matrix c;
    (void)c.Size(n, n);
    double* const* ar = a.rows();
    double* const* br = b.rows();
    double* const* cr = c.rows();
    for (auto _ : state) {
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j < n; ++j) {
                double s = 0.0;
                for (std::int32_t k = 0; k < n; ++k) s = s + ar[i][k] * br[k][j];
                cr[i][j] = s;
            }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TripleLoop)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

// The whole operation: reading B through its interface, sizing the result and
// the blocked kernel.
void BM_Times(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const corvane::Matrix a = Filled(n, 0.1), b = Filled(n, -0.4);
    for (auto _ : state) {
        corvane::Matrix c;
        benchmark::DoNotOptimize(corvane::Times(a, &b, &c));
        benchmark::DoNotOptimize(c.rows());
    }
}
BENCHMARK(BM_Times)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

void BM_ComplexTimes(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const corvane::Matrix ra = Filled(n, 0.1), rb = Filled(n, -0.4);
    corvane::CMatrix a, b;
    (void)corvane::ToCMatrix(ra, &a);
    (void)corvane::ToCMatrix(rb, &b);
    for (auto _ : state) {
        corvane::CMatrix c;
        benchmark::DoNotOptimize(corvane::Times(a, &b, &c));
        benchmark::DoNotOptimize(c.rows());
    }
}
BENCHMARK(BM_ComplexTimes)->Arg(500)->Unit(benchmark::kMillisecond);

// The two kernels on the same storage.
template <bool kBlocked>
void BM_Kernel(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const corvane::Matrix a = Filled(n, 0.1), b = Filled(n, -0.4);
    for (auto _ : state) {
        corvane::Matrix c;
        (void)c.Size(n, n);
        if constexpr (kBlocked)
            corvane::MatrixProductBlocked(a.rows(), b.rows(), c.rows(), n, n, n);
        else
            corvane::MatrixProductDot(a.rows(), b.rows(), c.rows(), n, n, n);
        benchmark::DoNotOptimize(c.rows());
    }
}
BENCHMARK(BM_Kernel<false>)->Name("BM_KernelDot")->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Kernel<true>)->Name("BM_KernelBlocked")->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
