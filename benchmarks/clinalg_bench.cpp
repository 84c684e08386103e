// The complex decompositions beside LAPACK doing the same task on the same
// matrix: LU (zgetrf), Inverse (zgetrf + zgetri), SolveGauss with one
// right-hand side (zgesv), QR with both factors (zgeqrf + zungqr, which reflect
// with conjugation: the same work), Cholesky (zpotrf, which factors the
// Hermitian matrix of the same elements: the same work).
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
#include "linalg/solve.h"

extern "C" {
void zgetrf_(const int* m, const int* n, corvane::Complex* a, const int* lda, int* ipiv, int* info);
void zgetri_(const int* n, corvane::Complex* a, const int* lda, const int* ipiv, corvane::Complex* work,
             const int* lwork, int* info);
void zgesv_(const int* n, const int* nrhs, corvane::Complex* a, const int* lda, int* ipiv, corvane::Complex* b,
            const int* ldb, int* info);
void zpotrf_(const char* uplo, const int* n, corvane::Complex* a, const int* lda, int* info, std::size_t);
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

// One right-hand side.
void BM_ComplexSolveGauss(benchmark::State& state) {
    const CMatrix a = Random(static_cast<int>(state.range(0)), false);
    CMatrix b, x;
    (void)b.Size(a.Rows(), 1);
    for (int i = 0; i < a.Rows(); ++i) b.at(i, 0) = a.at(i, 0);
    for (auto _ : state) benchmark::DoNotOptimize(corvane::SolveGauss(a, &b, &x));
}

void BM_Zgesv(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0)), one = 1;
    const std::vector<Complex> a = ColumnMajor(Random(n, false));
    std::vector<int> ipiv(static_cast<std::size_t>(n));
    int info = 0;
    for (auto _ : state) {
        std::vector<Complex> c = a, b(a.begin(), a.begin() + n);
        zgesv_(&n, &one, c.data(), &n, ipiv.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b.data());
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

// A Hermitian matrix with a dominant real diagonal, in column order.
void BM_Zpotrf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<Complex> a = ColumnMajor(Random(n, true));
    for (int j = 0; j < n; ++j) {
        a[static_cast<std::size_t>(j * n + j)].Imag = 0.0;
        for (int i = 0; i < j; ++i) {
            const Complex x = a[static_cast<std::size_t>(j * n + i)];
            a[static_cast<std::size_t>(i * n + j)] = Complex{x.Real, -x.Imag};
        }
    }
    int info = 0;
    for (auto _ : state) {
        std::vector<Complex> c = a;
        zpotrf_("L", &n, c.data(), &n, &info, 1);
        benchmark::DoNotOptimize(c.data());
    }
}

#define SIZES ->Arg(16)->Arg(64)->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ComplexLU) SIZES;
BENCHMARK(BM_Zgetrf) SIZES;
BENCHMARK(BM_ComplexInverse) SIZES;
BENCHMARK(BM_ZgetrfZgetri) SIZES;
BENCHMARK(BM_ComplexSolveGauss) SIZES;
BENCHMARK(BM_Zgesv) SIZES;
BENCHMARK(BM_ComplexQR) SIZES;
BENCHMARK(BM_ZgeqrfZungqr) SIZES;
BENCHMARK(BM_ComplexCholesky) SIZES;
BENCHMARK(BM_Zpotrf) SIZES;

}  // namespace

BENCHMARK_MAIN();
