// LAPACK as an independent oracle (native builds only): determinants,
// singular values and eigenvalues of seeded random matrices agree with it to
// a small multiple of the rounding error.
#ifdef CORVANE_HAVE_LAPACK
#include <algorithm>

#include "eigen/eigen.h"
#include "linalg/lu.h"
#include "linalg/svd.h"
#include "support.h"

extern "C" {
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a, const int* lda, double* s,
             double* u, const int* ldu, double* vt, const int* ldvt, double* work, const int* lwork, int* info);
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
            double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info);
void zgeev_(const char* jobvl, const char* jobvr, const int* n, std::complex<double>* a, const int* lda,
            std::complex<double>* w, std::complex<double>* vl, const int* ldvl, std::complex<double>* vr, const int* ldvr,
            std::complex<double>* work, const int* lwork, double* rwork, int* info);
}

namespace corvane::support {
namespace {

template <class T>
std::vector<T> ColumnMajor(const Dense<T>& a) {
    std::vector<T> c;
    for (I j = 0; j < a.cols; ++j)
        for (I i = 0; i < a.rows; ++i) c.push_back(a(i, j));
    return c;
}

// Both lists sorted the same way, then compared pairwise relative to scale.
void ExpectSameSpectrum(std::vector<Cx> ours, std::vector<Cx> theirs, double scale) {
    auto order = [](Cx p, Cx q) { return p.real() != q.real() ? p.real() < q.real() : p.imag() < q.imag(); };
    std::sort(ours.begin(), ours.end(), order);
    std::sort(theirs.begin(), theirs.end(), order);
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t k = 0; k < ours.size(); ++k) EXPECT_LE(std::abs(ours[k] - theirs[k]), 1e-11 * scale) << k;
}

TEST(LapackOracle, DeterminantAndSingularValues) {
    std::mt19937_64 rng(31);
    for (I n : {1, 3, 8, 20}) {
        const Dense<double> a = RandomDense<double>(rng, n, n + (n % 3), Kind::Random);
        Matrix S;
        ASSERT_TRUE(SVD(ToMatrix(a), nullptr, &S, nullptr).ok());
        std::vector<double> c = ColumnMajor(a), s(a.cols), work(1000);
        const int m = a.rows, cols = a.cols, one = 1, lwork = 1000;
        int info = 0;
        dgesvd_("N", "N", &m, &cols, c.data(), &m, s.data(), nullptr, &one, nullptr, &one, work.data(), &lwork, &info);
        ASSERT_EQ(info, 0);
        for (I k = 0; k < std::min(m, cols); ++k) EXPECT_NEAR(S.at(k, k), s[k], 1e-12 * s[0]) << k;

        const Dense<double> sq = RandomDense<double>(rng, n, n, Kind::WellConditioned);
        double det = 0.0, expected = 1.0;
        ASSERT_TRUE(Determinant(ToMatrix(sq), &det).ok());
        c = ColumnMajor(sq);
        std::vector<int> pivots(n);
        dgetrf_(&n, &n, c.data(), &n, pivots.data(), &info);
        ASSERT_EQ(info, 0);
        for (I i = 0; i < n; ++i) expected *= (pivots[i] != i + 1 ? -1.0 : 1.0) * c[i * (n + 1)];
        EXPECT_NEAR(det, expected, 1e-12 * std::fabs(expected));
    }
}

TEST(LapackOracle, EigenvaluesOfBothElementTypes) {
    std::mt19937_64 rng(32);
    for (Kind kind : {Kind::Random, Kind::Symmetric, Kind::Graded})
        for (I n : {1, 4, 15}) {
            SCOPED_TRACE(testing::Message() << int(kind) << " n=" << n);
            const Dense<double> a = RandomDense<double>(rng, n, n, kind);
            const Dense<Complex> z = RandomDense<Complex>(rng, n, n, kind);
            Matrix rv, iv;
            CMatrix values;
            ASSERT_TRUE(Eigen(ToMatrix(a), &rv, &iv, nullptr, nullptr).ok());
            ASSERT_TRUE(EigenC(ToMatrix(z), &values, nullptr).ok());
            std::vector<double> c = ColumnMajor(a), wr(n), wi(n), work(1000);
            std::vector<Cx> cz, w(n), cwork(1000);
            for (const Complex& x : ColumnMajor(z)) cz.push_back(Wide(x));
            std::vector<double> rwork(2 * n);
            const int one = 1, lwork = 1000;
            int info = 0;
            dgeev_("N", "N", &n, c.data(), &n, wr.data(), wi.data(), nullptr, &one, nullptr, &one, work.data(), &lwork, &info);
            ASSERT_EQ(info, 0);
            zgeev_("N", "N", &n, cz.data(), &n, w.data(), nullptr, &one, nullptr, &one, cwork.data(), &lwork, rwork.data(), &info);
            ASSERT_EQ(info, 0);
            std::vector<Cx> ours, theirs;
            for (I k = 0; k < n; ++k) ours.emplace_back(rv.at(k, 0), iv.at(k, 0)), theirs.emplace_back(wr[k], wi[k]);
            ExpectSameSpectrum(ours, theirs, Norm(a));
            ours.clear();
            for (I k = 0; k < n; ++k) ours.push_back(Wide(values.at(k, 0)));
            ExpectSameSpectrum(ours, w, Norm(z));
        }
}

}  // namespace
}  // namespace corvane::support
#endif
