// The complex eigen kernel beside LAPACK's zgeev on the same random matrices,
// values only and with eigenvectors.
#include <benchmark/benchmark.h>

#include <complex>
#include <cstdint>
#include <random>
#include <vector>

#include "core/buffer.h"
#include "core/row_store.h"
#include "eigen/complex/kernels.h"

extern "C" void zgeev_(const char* jobvl, const char* jobvr, const int* n, std::complex<double>* a, const int* lda,
                       std::complex<double>* w, std::complex<double>* vl, const int* ldvl, std::complex<double>* vr,
                       const int* ldvr, std::complex<double>* work, const int* lwork, double* rwork, int* info,
                       std::size_t, std::size_t);

namespace {

std::vector<std::complex<double>> RandomColumnMajor(int n) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(n));
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<std::complex<double>> a(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (auto& x : a) x = {u(rng), u(rng)};
    return a;
}

void BM_EigenComplexGeneral(benchmark::State& state, bool vectors) {
    const int n = static_cast<int>(state.range(0));
    const auto a = RandomColumnMajor(n);
    corvane::RowStore<double> ar, ai, zr, zi;
    corvane::Buffer<double> wr, wi, ortr, orti;
    corvane::Buffer<corvane::ComplexSweepStep> steps;
    if (!ar.Allocate(n, n) || !ai.Allocate(n, n) || !zr.Allocate(n, n) || !zi.Allocate(n, n) || !wr.Allocate(n) ||
        !wi.Allocate(n) || !ortr.Allocate(n) || !orti.Allocate(n) ||
        !steps.Allocate(corvane::ComplexSweepStepRoom(n))) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                ar[i][j] = a[static_cast<std::size_t>(j * n + i)].real();
                ai[i][j] = a[static_cast<std::size_t>(j * n + i)].imag();
            }
        if (corvane::EigenComplexGeneral(n - 1, ar.data(), ai.data(), wr.data(), wi.data(), vectors, zr.data(),
                                         zi.data(), ortr.data(), orti.data(), steps.data()) != corvane::kKernelOk)
            state.SkipWithError("no convergence");
        benchmark::DoNotOptimize(wr.data());
        benchmark::ClobberMemory();
    }
}

void BM_Zgeev(benchmark::State& state, bool vectors) {
    const int n = static_cast<int>(state.range(0));
    const auto a = RandomColumnMajor(n);
    std::vector<std::complex<double>> work_a(a.size()), w(static_cast<std::size_t>(n)), vr(a.size());
    std::vector<double> rwork(static_cast<std::size_t>(2 * n));
    int lwork = -1, info = 0, one = 1;
    std::complex<double> query;
    const char* jobvr = vectors ? "V" : "N";
    zgeev_("N", jobvr, &n, work_a.data(), &n, w.data(), nullptr, &one, vr.data(), &n, &query, &lwork, rwork.data(),
           &info, 1, 1);
    lwork = static_cast<int>(query.real());
    std::vector<std::complex<double>> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        work_a = a;
        zgeev_("N", jobvr, &n, work_a.data(), &n, w.data(), nullptr, &one, vr.data(), &n, work.data(), &lwork,
               rwork.data(), &info, 1, 1);
        if (info != 0) state.SkipWithError("zgeev failed");
        benchmark::DoNotOptimize(w.data());
        benchmark::ClobberMemory();
    }
}
#define SIZES ->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)
BENCHMARK_CAPTURE(BM_EigenComplexGeneral, values, false) SIZES;
BENCHMARK_CAPTURE(BM_Zgeev, values, false) SIZES;
BENCHMARK_CAPTURE(BM_EigenComplexGeneral, vectors, true) SIZES;
BENCHMARK_CAPTURE(BM_Zgeev, vectors, true) SIZES;

}  // namespace

BENCHMARK_MAIN();
