// The real eigen kernels beside LAPACK's dsyev and dgeev on the same random
// matrices: symmetric and general, values only and with vectors.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/buffer.h"
#include "core/row_store.h"
#include "eigen/general/kernels.h"
#include "eigen/symmetric/kernels.h"

extern "C" {
void dsyev_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda, double* w, double* work,
            const int* lwork, int* info);
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
            double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info);
}

namespace {

std::vector<double> RandomSquare(int n, bool symmetric) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(n) * 7919u + (symmetric ? 1u : 0u));
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> a(static_cast<std::size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[static_cast<std::size_t>(i) * n + j] = u(rng);
    if (symmetric)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j) a[static_cast<std::size_t>(j) * n + i] = a[static_cast<std::size_t>(i) * n + j];
    return a;
}

// Copies the matrix into the row store (part of each timed call, as in the
// methods, which work on a private copy).
void Load(const std::vector<double>& src, int n, const corvane::RowStore<double>& a) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[i][j] = src[static_cast<std::size_t>(i) * n + j];
}

void BM_Symmetric(benchmark::State& state, int wantVectors) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> src = RandomSquare(n, true);
    corvane::RowStore<double> a, z;
    corvane::Buffer<double> w, e, e2;
    if (!a.Allocate(n, n) || !z.Allocate(n, n) || !w.Allocate(n) || !e.Allocate(n) || !e2.Allocate(n)) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) {
        Load(src, n, a);
        const corvane::KernelCode code =
            corvane::EigenSymmetric(n - 1, a.data(), w.data(), wantVectors != 0, z.data(), e.data(), e2.data());
        benchmark::DoNotOptimize(code);
        benchmark::DoNotOptimize(w.data());
    }
}

void BM_General(benchmark::State& state, int wantVectors) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> src = RandomSquare(n, false);
    corvane::RowStore<double> a, z;
    corvane::Buffer<double> wr, wi;
    corvane::Buffer<std::int32_t> iv;
    corvane::Buffer<corvane::SchurVectorStep> steps;
    if (!a.Allocate(n, n) || !z.Allocate(n, n) || !wr.Allocate(n) || !wi.Allocate(n) || !iv.Allocate(n) ||
        !steps.Allocate(corvane::SchurVectorStepRoom(n))) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) {
        Load(src, n, a);
        const corvane::KernelCode code = corvane::EigenGeneral(n - 1, a.data(), wr.data(), wi.data(), wantVectors != 0,
                                                               z.data(), iv.data(), steps.data());
        benchmark::DoNotOptimize(code);
        benchmark::DoNotOptimize(wr.data());
    }
}

void BM_LapackDsyev(benchmark::State& state, const char* jobz) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> src = RandomSquare(n, true);
    std::vector<double> a(src.size()), w(static_cast<std::size_t>(n));
    int lwork = -1, info = 0;
    double query = 0;
    dsyev_(jobz, "L", &n, a.data(), &n, w.data(), &query, &lwork, &info);
    lwork = static_cast<int>(query);
    std::vector<double> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        a = src;  // symmetric: row or column order alike
        dsyev_(jobz, "L", &n, a.data(), &n, w.data(), work.data(), &lwork, &info);
        benchmark::DoNotOptimize(info);
    }
}

void BM_LapackDgeev(benchmark::State& state, const char* jobvr) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> src = RandomSquare(n, false);
    std::vector<double> a(src.size()), wr(static_cast<std::size_t>(n)), wi(static_cast<std::size_t>(n)), vr(src.size()),
        vl(1);
    int one = 1, lwork = -1, info = 0;
    double query = 0;
    dgeev_("N", jobvr, &n, a.data(), &n, wr.data(), wi.data(), vl.data(), &one, vr.data(), &n, &query, &lwork, &info);
    lwork = static_cast<int>(query);
    std::vector<double> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        // Column-major copy, as the methods' row copy.
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                a[static_cast<std::size_t>(j) * n + i] = src[static_cast<std::size_t>(i) * n + j];
        dgeev_("N", jobvr, &n, a.data(), &n, wr.data(), wi.data(), vl.data(), &one, vr.data(), &n, work.data(), &lwork,
               &info);
        benchmark::DoNotOptimize(info);
    }
}

}  // namespace

// clang-format off
BENCHMARK_CAPTURE(BM_Symmetric, values, 0)->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LapackDsyev, values, "N")->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Symmetric, vectors, 1)->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LapackDsyev, vectors, "V")->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_General, values, 0)->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LapackDgeev, values, "N")->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_General, vectors, 1)->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LapackDgeev, vectors, "V")->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
// clang-format on

BENCHMARK_MAIN();
