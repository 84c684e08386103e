// LAPACK as an independent oracle (native builds only): the eigenvalues of
// seeded random matrices agree with it to a small multiple of the rounding
// error. (Determinants and singular values need no oracle: the factorisation
// tests prove P·A = L·U and A = U·S·Vᵀ with factors of the required form.)
#ifdef CORVANE_HAVE_LAPACK
#include "support.h"

extern "C" {
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
            double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info);
void zgeev_(const char* jobvl, const char* jobvr, const int* n, std::complex<double>* a, const int* lda,
            std::complex<double>* w, std::complex<double>* vl, const int* ldvl, std::complex<double>* vr, const int* ldvr,
            std::complex<double>* work, const int* lwork, double* rwork, int* info);
}

namespace corvane::support {
namespace {

// Both lists sorted the same way, then compared pairwise relative to scale.
void ExpectSameSpectrum(std::vector<Cx> ours, std::vector<Cx> theirs, double scale) {
    auto order = [](Cx p, Cx q) { return p.real() != q.real() ? p.real() < q.real() : p.imag() < q.imag(); };
    std::sort(ours.begin(), ours.end(), order);
    std::sort(theirs.begin(), theirs.end(), order);
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t k = 0; k < ours.size(); ++k) EXPECT_LE(std::abs(ours[k] - theirs[k]), 1e-11 * scale) << k;
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
            std::vector<double> c = Transpose(a).data, wr(n), wi(n), work(1000);  // column by column
            std::vector<Cx> cz, w(n), cwork(1000);
            for (const Complex& x : Transpose(z).data) cz.push_back(Wide(x));
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
