// Eigen and EigenC of the real matrix and EigenC of the complex matrix on
// seeded random matrices: every pair satisfies A·v = λ·v, values come by
// descending modulus, conjugate pairs sit side by side, vectors are scaled by
// their rule (unit length on the symmetric path, largest part +1 otherwise),
// the outputs agree between the forms of the call, and (native builds) the
// values agree with LAPACK's. Exact bits are pinned by the result digest.
#include "support.h"

namespace corvane::support {
namespace {

constexpr I kSizes[] = {1, 2, 5, 12};
constexpr Kind kKinds[] = {Kind::Random, Kind::Symmetric, Kind::Spd, Kind::Defective, Kind::Zero, Kind::Graded};

// ‖A·v − λ·v‖ / ((‖A‖ + |λ|)·‖v‖) for column j.
template <class T> double EigenResidual(const Dense<T>& a, Cx lambda, const Dense<Complex>& v, I j) {
    double r = 0.0, norm = 0.0;
    for (I i = 0; i < a.rows; ++i) {
        Cx s = -lambda * Wide(v(i, j));
        for (I k = 0; k < a.cols; ++k) s += Wide(a(i, k)) * Wide(v(k, j));
        r += std::norm(s);
        norm += std::norm(Wide(v(i, j)));
    }
    return norm == 0.0 ? kInf : std::sqrt(r / norm) / std::max(Norm(a) + std::abs(lambda), 1e-300);
}

// Largest magnitude of a real or imaginary part in column j, with its sign.
double LargestPart(const Dense<Complex>& v, I j) {
    double best = 0.0;
    for (I i = 0; i < v.rows; ++i)
        for (double x : {v(i, j).Real, v(i, j).Imag})
            if (std::fabs(x) > std::fabs(best)) best = x;
    return best;
}

#ifdef CORVANE_HAVE_LAPACK
extern "C" {
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi, double* vl, const int* ldvl,
            double* vr, const int* ldvr, double* work, const int* lwork, int* info);
void zgeev_(const char* jobvl, const char* jobvr, const int* n, std::complex<double>* a, const int* lda, std::complex<double>* w,
            std::complex<double>* vl, const int* ldvl, std::complex<double>* vr, const int* ldvr, std::complex<double>* work, const int* lwork,
            double* rwork, int* info);
}

// The eigenvalues LAPACK's dgeev or zgeev gives: an independent oracle.
template <class T> std::vector<Cx> OracleValues(const Dense<T>& a) {
    const int n = a.rows, one = 1, lwork = 1000;
    std::vector<T> c = Transpose(a).data;  // column by column
    std::vector<double> wr(n), wi(n), work(lwork), rwork(2 * n);
    std::vector<Cx> w(n), cwork(lwork), cz;
    int info = 0;
    if constexpr (std::is_same_v<T, double>) {
        dgeev_("N", "N", &n, c.data(), &n, wr.data(), wi.data(), nullptr, &one, nullptr, &one, work.data(), &lwork, &info);
        for (int k = 0; k < n; ++k) w[k] = {wr[k], wi[k]};
    } else {
        for (const Complex& x : c) cz.push_back(Wide(x));
        zgeev_("N", "N", &n, cz.data(), &n, w.data(), nullptr, &one, nullptr, &one, cwork.data(), &lwork, rwork.data(), &info);
    }
    EXPECT_EQ(info, 0);
    return w;
}

// Both lists sorted the same way, then compared pairwise relative to scale.
void ExpectSameSpectrum(const Dense<Complex>& values, std::vector<Cx> theirs, double scale) {
    std::vector<Cx> ours;
    for (const Complex& x : values.data) ours.push_back(Wide(x));
    auto order = [](Cx p, Cx q) { return p.real() != q.real() ? p.real() < q.real() : p.imag() < q.imag(); };
    std::sort(ours.begin(), ours.end(), order);
    std::sort(theirs.begin(), theirs.end(), order);
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t k = 0; k < ours.size(); ++k) EXPECT_LE(std::abs(ours[k] - theirs[k]), 1e-11 * scale) << k;
}
#endif

// The checks both element types share: residuals and LAPACK's values (not
// for a defective matrix, whose vectors are only nearly independent and
// whose values are sensitive), the order of the values, and values alone
// close to the values with vectors.
template <class T> void ExpectEigenpairs(const Dense<T>& a, const Dense<Complex>& values, const Dense<Complex>& vectors,
                                         const Dense<Complex>& valuesAlone, bool defective) {
    const I n = a.rows;
    ASSERT_TRUE(values.rows == n && values.cols == 1 && vectors.rows == n && vectors.cols == n);
    for (I k = 0; k < n; ++k) {
        const Cx lambda = Wide(values(k, 0));
        EXPECT_LE(std::abs(lambda), k > 0 ? std::abs(Wide(values(k - 1, 0))) * (1 + 4 * kEps) : kInf);
        EXPECT_LE(defective ? 0.0 : EigenResidual(a, lambda, vectors, k), 1e-12 * n) << "pair " << k;
        EXPECT_LE(std::abs(lambda - Wide(valuesAlone(k, 0))), 1e-12 * n * (Norm(a) + 1e-300)) << "value " << k;
    }
#ifdef CORVANE_HAVE_LAPACK
    if (!defective) ExpectSameSpectrum(valuesAlone, OracleValues(a), Norm(a));
#endif
}

Dense<Complex> Combine(const Matrix& re, const Matrix& im) {
    Dense<Complex> c(re.Rows(), re.Cols());
    Each(c.rows, c.cols, [&](I i, I j) { c(i, j) = Complex{re.at(i, j), im.at(i, j)}; });
    return c;
}

TEST(Eigen, RealMatricesGiveEigenpairsByTheirRules) {
    std::mt19937_64 rng(21);
    for (Kind kind : kKinds)
        for (I n : kSizes) {
            SCOPED_TRACE(testing::Message() << int(kind) << " n=" << n);
            const Matrix a = RandomMatrix<double>(rng, n, n, kind), before = Copy(a);
            Matrix rv, iv, rvec = Make<double>({{9, 9, 9}}), ivec = Copy(rvec), rAlone, iAlone;  // stale outputs
            CMatrix values, vectors;
            ASSERT_TRUE(Eigen(a, &rv, &iv, &rvec, &ivec).ok());
            ASSERT_TRUE(Eigen(a, &rAlone, &iAlone, nullptr, nullptr).ok());
            ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
            EXPECT_TRUE(SameBits(a, before));
            const Dense<Complex> lambda = Combine(rv, iv), v = Combine(rvec, ivec);
            ExpectEigenpairs(ToDense(a), lambda, v, Combine(rAlone, iAlone), kind == Kind::Defective);
            // EigenC hands out the same numbers as complex values.
            EXPECT_TRUE(SameBits(ToDense(values), lambda) && SameBits(ToDense(vectors), v));
            const bool symmetric = kind == Kind::Symmetric || kind == Kind::Spd || kind == Kind::Zero || n == 1;
            for (I k = 0; k < n; ++k) {
                if (symmetric) {  // real, orthonormal
                    EXPECT_EQ(iv.at(k, 0), 0.0);
                    double norm = 0.0;
                    for (I i = 0; i < n; ++i) norm += rvec.at(i, k) * rvec.at(i, k) + std::fabs(ivec.at(i, k));
                    EXPECT_NEAR(norm, 1.0, 8 * n * kEps);
                } else {
                    EXPECT_NEAR(std::fabs(LargestPart(v, k)), 1.0, 4 * kEps);
                }
                if (iv.at(k, 0) > 0.0) {  // the conjugate follows
                    ASSERT_LT(k + 1, n);
                    EXPECT_TRUE(rv.at(k + 1, 0) == rv.at(k, 0) && iv.at(k + 1, 0) == -iv.at(k, 0));
                    for (I i = 0; i < n; ++i) EXPECT_TRUE(rvec.at(i, k + 1) == rvec.at(i, k) && ivec.at(i, k + 1) == -ivec.at(i, k));
                }
                EXPECT_TRUE(iv.at(k, 0) >= 0.0 || (k > 0 && iv.at(k - 1, 0) == -iv.at(k, 0)));
            }
        }
}

TEST(EigenC, ComplexMatricesGiveEigenpairsWithLargestPartOne) {
    std::mt19937_64 rng(22);
    for (Kind kind : kKinds)
        for (I n : kSizes) {
            SCOPED_TRACE(testing::Message() << int(kind) << " n=" << n);
            const CMatrix a = RandomMatrix<Complex>(rng, n, n, kind), before = Copy(a);
            CMatrix values, vectors, alone;
            ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
            ASSERT_TRUE(EigenC(a, &alone, nullptr).ok());
            EXPECT_TRUE(SameBits(a, before));
            const Dense<Complex> v = ToDense(vectors);
            ExpectEigenpairs(ToDense(a), ToDense(values), v, ToDense(alone), kind == Kind::Defective);
            for (I k = 0; k < n; ++k) EXPECT_NEAR(LargestPart(v, k), 1.0, 4 * kEps) << "column " << k;
        }
}

}  // namespace
}  // namespace corvane::support
