// The real decompositions beside LAPACK doing the same task on the same
// matrix: LU (dgetrf), Inverse (dgetrf + dgetri), QR with both factors
// (dgeqrf + dorgqr), Cholesky (dpotrf), SVD with U, S and V (dgesvd).
// Each iteration starts from a fresh copy of the input, as ours does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "core/buffer.h"
#include "core/matrix.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/solve.h"
#include "linalg/svd.h"

extern "C" {
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work, const int* lwork, int* info);
void dgeqrf_(const int* m, const int* n, double* a, const int* lda, double* tau, double* work, const int* lwork,
             int* info);
void dorgqr_(const int* m, const int* n, const int* k, double* a, const int* lda, const double* tau, double* work,
             const int* lwork, int* info);
void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b, const int* ldb, int* info);
void dpotrf_(const char* uplo, const int* n, double* a, const int* lda, int* info);
void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a, const int* lda, double* s,
             double* u, const int* ldu, double* vt, const int* ldvt, double* work, const int* lwork, int* info);
}

namespace {

using corvane::Matrix;

// A random n × n matrix; symmetric positive definite when spd is set.
Matrix Random(int n, bool spd) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(n));
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Matrix a;
    (void)a.Size(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a.at(i, j) = u(rng);
    if (spd) {
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < i; ++j) a.at(j, i) = a.at(i, j);
            a.at(i, i) = std::abs(a.at(i, i)) + n;
        }
    }
    return a;
}

std::vector<double> ColumnMajor(const Matrix& a) {
    const int n = a.Rows();
    std::vector<double> c(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) c[static_cast<std::size_t>(j * n + i)] = a.at(i, j);
    return c;
}

void BM_LU(benchmark::State& state) {
    const Matrix a = Random(static_cast<int>(state.range(0)), false);
    Matrix L, U;
    corvane::Buffer<std::int32_t> index;
    std::int32_t sign;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::LU(a, &L, &U, &index, &sign));
}

void BM_LU_Lapack_dgetrf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = ColumnMajor(Random(n, false));
    std::vector<int> ipiv(static_cast<std::size_t>(n));
    int info;
    for (auto _ : state) {
        std::vector<double> c = input;
        dgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        benchmark::DoNotOptimize(c.data());
    }
}

void BM_Inverse(benchmark::State& state) {
    const Matrix a = Random(static_cast<int>(state.range(0)), false);
    Matrix x;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::Inverse(a, &x));
}

void BM_Inverse_Lapack_dgetrf_dgetri(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = ColumnMajor(Random(n, false));
    std::vector<int> ipiv(static_cast<std::size_t>(n));
    int info, lwork = 64 * n;
    std::vector<double> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        std::vector<double> c = input;
        dgetrf_(&n, &n, c.data(), &n, ipiv.data(), &info);
        dgetri_(&n, c.data(), &n, ipiv.data(), work.data(), &lwork, &info);
        benchmark::DoNotOptimize(c.data());
    }
}

// One right-hand side.
void BM_SolveGauss(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const Matrix a = Random(n, false);
    Matrix b, x;
    (void)a.ColVector(0, &b);
    for (auto _ : state) benchmark::DoNotOptimize(corvane::SolveGauss(a, &b, &x));
}

void BM_SolveGauss_Lapack_dgesv(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0)), one = 1;
    const std::vector<double> input = ColumnMajor(Random(n, false));
    std::vector<int> ipiv(static_cast<std::size_t>(n));
    int info;
    for (auto _ : state) {
        std::vector<double> c = input, b(input.begin(), input.begin() + n);
        dgesv_(&n, &one, c.data(), &n, ipiv.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b.data());
    }
}

void BM_QR(benchmark::State& state) {
    const Matrix a = Random(static_cast<int>(state.range(0)), false);
    Matrix Q, R;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::QR(a, &Q, &R));
}

void BM_QR_Lapack_dgeqrf_dorgqr(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = ColumnMajor(Random(n, false));
    std::vector<double> tau(static_cast<std::size_t>(n));
    int info, lwork = 64 * n;
    std::vector<double> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        std::vector<double> c = input;
        dgeqrf_(&n, &n, c.data(), &n, tau.data(), work.data(), &lwork, &info);
        std::vector<double> r = c;  // R is kept beside Q
        dorgqr_(&n, &n, &n, c.data(), &n, tau.data(), work.data(), &lwork, &info);
        benchmark::DoNotOptimize(r.data());
        benchmark::DoNotOptimize(c.data());
    }
}

void BM_Cholesky(benchmark::State& state) {
    const Matrix a = Random(static_cast<int>(state.range(0)), true);
    Matrix L;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::Cholesky(a, &L));
}

void BM_Cholesky_Lapack_dpotrf(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = ColumnMajor(Random(n, true));
    int info;
    for (auto _ : state) {
        std::vector<double> c = input;
        dpotrf_("L", &n, c.data(), &n, &info);
        benchmark::DoNotOptimize(c.data());
    }
}

void BM_SVD(benchmark::State& state) {
    const Matrix a = Random(static_cast<int>(state.range(0)), false);
    Matrix U, S, V;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::SVD(a, &U, &S, &V));
}

void BM_SVD_Lapack_dgesvd(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<double> input = ColumnMajor(Random(n, false));
    std::vector<double> s(static_cast<std::size_t>(n)), u(input.size()), vt(input.size());
    int info, lwork = -1;
    double query;
    std::vector<double> c = input;
    dgesvd_("S", "A", &n, &n, c.data(), &n, s.data(), u.data(), &n, vt.data(), &n, &query, &lwork, &info);
    lwork = static_cast<int>(query);
    std::vector<double> work(static_cast<std::size_t>(lwork));
    for (auto _ : state) {
        c = input;
        dgesvd_("S", "A", &n, &n, c.data(), &n, s.data(), u.data(), &n, vt.data(), &n, work.data(), &lwork, &info);
        benchmark::DoNotOptimize(s.data());
    }
}

void BM_SVD_ValuesOnly(benchmark::State& state) {
    const Matrix a = Random(static_cast<int>(state.range(0)), false);
    Matrix S;
    for (auto _ : state) benchmark::DoNotOptimize(corvane::SVD(a, nullptr, &S, nullptr));
}

}  // namespace

#define SIZES ->Arg(100)->Arg(200)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_LU) SIZES;
BENCHMARK(BM_LU_Lapack_dgetrf) SIZES;
BENCHMARK(BM_Inverse) SIZES;
BENCHMARK(BM_Inverse_Lapack_dgetrf_dgetri) SIZES;
BENCHMARK(BM_SolveGauss) SIZES;
BENCHMARK(BM_SolveGauss_Lapack_dgesv) SIZES;
BENCHMARK(BM_QR) SIZES;
BENCHMARK(BM_QR_Lapack_dgeqrf_dorgqr) SIZES;
BENCHMARK(BM_Cholesky) SIZES;
BENCHMARK(BM_Cholesky_Lapack_dpotrf) SIZES;
BENCHMARK(BM_SVD) SIZES;
BENCHMARK(BM_SVD_ValuesOnly) SIZES;
BENCHMARK(BM_SVD_Lapack_dgesvd) SIZES;

BENCHMARK_MAIN();
