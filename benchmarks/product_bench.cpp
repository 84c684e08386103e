// Times of two n × n matrices beside single-threaded OpenBLAS dgemm on the
// same values, and the product kernel alone on each instruction set this
// processor has. OpenBLAS is loaded at run time (libopenblas.so.0) so that
// its BLAS symbols do not mix with the reference BLAS the other programs use;
// without it, its benchmark reports an error. scripts/bench.sh sets
// OPENBLAS_NUM_THREADS=1 and the core type, and prints the ratios.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdint>
#include <vector>

#include "core/arithmetic.h"
#include "core/instruction_set.h"
#include "core/product_choice.h"

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

void CountFlops(benchmark::State& state, std::int64_t n) {
    state.counters["GFLOPs"] = benchmark::Counter(2.0 * static_cast<double>(n) * static_cast<double>(n) *
                                                      static_cast<double>(n) * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}

// The whole operation as a caller sees it: reading B through its interface,
// sizing the result, the product.
void BM_Times(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const corvane::Matrix a = Filled(n, 0.1), b = Filled(n, -0.4);
    for (auto _ : state) {
        corvane::Matrix c;
        benchmark::DoNotOptimize(corvane::Times(a, &b, &c));
        benchmark::DoNotOptimize(c.rows());
    }
    CountFlops(state, n);
}
BENCHMARK(BM_Times)->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The kernel alone on each instruction set (the argument: 0 SSE2, 1 AVX2, 2 AVX-512).
void BM_Kernel(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const auto set = static_cast<corvane::InstructionSet>(state.range(1));
    if (corvane::ForceInstructionSet(set) != set) {
        state.SkipWithError("instruction set not available");
        corvane::ForceInstructionSet(corvane::InstructionSet::kAvx512);
        return;
    }
    const corvane::Matrix a = Filled(n, 0.1), b = Filled(n, -0.4);
    corvane::Matrix c;
    (void)c.Size(n, n);
    for (auto _ : state) benchmark::DoNotOptimize(corvane::MatrixProduct(a.rows(), b.rows(), c.rows(), n, n, n));
    corvane::ForceInstructionSet(corvane::InstructionSet::kAvx512);
    CountFlops(state, n);
}
BENCHMARK(BM_Kernel)->ArgsProduct({{500}, {0, 1, 2}})->Unit(benchmark::kMillisecond)->UseRealTime();

using Dgemm = void (*)(int order, int transA, int transB, int m, int n, int k, double alpha, const double* a, int lda,
                       const double* b, int ldb, double beta, double* c, int ldc);

Dgemm OpenBlasDgemm() {
    static const Dgemm dgemm = [] {
        void* lib = dlopen("libopenblas.so.0", RTLD_NOW | RTLD_LOCAL);
        return lib == nullptr ? nullptr : reinterpret_cast<Dgemm>(dlsym(lib, "cblas_dgemm"));
    }();
    return dgemm;
}

// C = A·B, row-major, the same values as BM_Times.
void BM_OpenBlasDgemm(benchmark::State& state) {
    const Dgemm dgemm = OpenBlasDgemm();
    if (dgemm == nullptr) {
        state.SkipWithError("libopenblas.so.0 not found");
        return;
    }
    const auto n = static_cast<std::int32_t>(state.range(0));
    const corvane::Matrix ma = Filled(n, 0.1), mb = Filled(n, -0.4);
    const auto size = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    std::vector<double> a(size), b(size), c(size);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) {
            a[static_cast<std::size_t>(i) * n + j] = ma.at(i, j);
            b[static_cast<std::size_t>(i) * n + j] = mb.at(i, j);
        }
    constexpr int kRowMajor = 101, kNoTrans = 111;
    for (auto _ : state) {
        dgemm(kRowMajor, kNoTrans, kNoTrans, n, n, n, 1.0, a.data(), n, b.data(), n, 0.0, c.data(), n);
        benchmark::DoNotOptimize(c.data());
    }
    CountFlops(state, n);
}
BENCHMARK(BM_OpenBlasDgemm)
    ->Arg(100)
    ->Arg(200)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
