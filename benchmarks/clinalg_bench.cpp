// The complex decompositions beside LAPACK doing the same task on the same
// matrix: LU (zgetrf), Inverse (zgetrf + zgetri), QR with both factors
// (zgeqrf + zungqr, which reflect with conjugation: the same work); Cholesky
// alone.
// Each iteration starts from a fresh copy of the input, as ours does.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/buffer.h"
#include "core/cmatrix.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"

extern "C" {
void zgetrf_(const int* m, const int* n, corvane::Complex* a, const int* lda, int* ipiv, int* info);
void zgetri_(const int* n, corvane::Complex* a, const int* lda, const int* ipiv, corvane::Complex* work,
             const int* lwork, int* info);
void zgeqrf_(const int* m, const int* n, corvane::Complex* a, const int* lda, corvane::Complex* tau,
             corvane::Complex* work, const int* lwork, int* info);
void zungqr_(const int* m, const int* n, const int* k, corvane::Complex* a, const int* lda, const corvane::Complex* tau,
             corvane::Complex* work, const int* lwork, int* info);
}

namespace {

using corvane::CMatrix;
using corvane::Complex;

// A random n × n complex matrix; complex symmetric with a dominant diagonal
// when symmetric is set.
CMatrix Random(int n, bool symmetric) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(n));
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    CMatrix a;
    (void)a.Size(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a.at(i, j) = Complex{u(rng), u(rng)};
    if (symmetric) {
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < i; ++j) a.at(j, i) = a.at(i, j);
            a.at(i, i).Real += n;
        }
    }
    return a;
}

std::vector<Complex> ColumnMajor(const CMatrix& a) {
    const int n = a.Rows();
    std::vector<Complex> c(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) c[static_cast<std::size_t>(j * n + i)] = a.at(i, j);
    return c;
}

void BM_ComplexLU(benchmark::State& state) {
    const CMatrix a = Random(static_cast<int>(state.range(0)), false);
    CMatrix L, U;
    corvane::Buffer<std::int32_t> index;
    std::int32_t sign = 0;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::LU(a, &L, &U, &index, &sign));
}

void BM_Zgetrf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<Complex> a = ColumnMajor(Random(n, false));
    std::vector<int> ipiv(static_cast<std::size_t>(n));
    int info = 0;
    for (auto _ : state) {
        std::vector<Complex> c = a;
        zgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        benchmark::DoNotOptimize(c.data());
    }
}

void BM_ComplexInverse(benchmark::State& state) {
    const CMatrix a = Random(static_cast<int>(state.range(0)), false);
    CMatrix x;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::Inverse(a, &x));
}

void BM_ZgetrfZgetri(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<Complex> a = ColumnMajor(Random(n, false));
    std::vector<int> ipiv(static_cast<std::size_t>(n));
    int info = 0, lwork = 64 * n;
    std::vector<Complex> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        std::vector<Complex> c = a;
        zgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        zgetri_(&n, c.data(), &n, ipiv.data(), work.data(), &lwork, &info);
        benchmark::DoNotOptimize(c.data());
    }
}

void BM_ComplexQR(benchmark::State& state) {
    const CMatrix a = Random(static_cast<int>(state.range(0)), false);
    CMatrix Q, R;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::QR(a, &Q, &R));
}

void BM_ZgeqrfZungqr(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<Complex> a = ColumnMajor(Random(n, false));
    std::vector<Complex> tau(static_cast<std::size_t>(n));
    int info, lwork = 64 * n;
    std::vector<Complex> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        std::vector<Complex> c = a;
        zgeqrf_(&n, &n, c.data(), &n, tau.data(), work.data(), &lwork, &info);
        std::vector<Complex> r = c;  // R is kept beside Q
        zungqr_(&n, &n, &n, c.data(), &n, tau.data(), work.data(), &lwork, &info);
        benchmark::DoNotOptimize(r.data());
        benchmark::DoNotOptimize(c.data());
    }
}

void BM_ComplexCholesky(benchmark::State& state) {
    const CMatrix a = Random(static_cast<int>(state.range(0)), true);
    CMatrix L;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::Cholesky(a, &L));
}

BENCHMARK(BM_ComplexLU)->Arg(16)->Arg(64)->Arg(200);
BENCHMARK(BM_Zgetrf)->Arg(16)->Arg(64)->Arg(200);
BENCHMARK(BM_ComplexInverse)->Arg(16)->Arg(64)->Arg(200);
BENCHMARK(BM_ZgetrfZgetri)->Arg(16)->Arg(64)->Arg(200);
BENCHMARK(BM_ComplexQR)->Arg(16)->Arg(64)->Arg(200)->Arg(500);
BENCHMARK(BM_ZgeqrfZungqr)->Arg(16)->Arg(64)->Arg(200)->Arg(500);
BENCHMARK(BM_ComplexCholesky)->Arg(16)->Arg(64)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
