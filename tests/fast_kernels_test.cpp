// The fast forms of the QR and SVD kernels give the same bits as their
// first, straightforward forms, on many random inputs of every shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/row_store.h"
#include "linalg/qr.h"
#include "linalg/reference_kernels.h"
#include "linalg/svd.h"
#include "linalg_test_support.h"

namespace corvane {
namespace {

using namespace test;

// The same bits, except that any two NaNs match: which NaN operand an
// operation passes on (and so its sign) is the compiler's choice.
std::uint64_t Key(double x) { return std::isnan(x) ? 0x7ff8000000000000u : Bits(x); }

RowStore<double> Store(const Dense& a) {
    RowStore<double> s;
    EXPECT_TRUE(s.Allocate(static_cast<std::int64_t>(a.size()), static_cast<std::int64_t>(a[0].size())));
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < a[0].size(); ++j) s[static_cast<std::int64_t>(i)][j] = a[i][j];
    return s;
}

Dense Random(std::mt19937_64& rng, std::size_t m, std::size_t n, int trial) {
    Dense a = RandomDense(rng, m, n, static_cast<Kind>(trial % 5));
    if (trial % 7 == 3) a[0][0] = kNaN;
    if (trial % 11 == 5) a[m - 1][n - 1] = kInf;
    return a;
}

TEST(FastKernels, HouseholderQRMatchesItsReferenceBitForBit) {
    std::mt19937_64 rng(404);
    for (int trial = 0; trial < 120; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 23), m = n + static_cast<std::size_t>(trial % 4) * 3;
        SCOPED_TRACE(testing::Message() << "trial " << trial << " " << m << "x" << n);
        const Dense a = Random(rng, m, n, trial);
        const auto mi = static_cast<std::int32_t>(m), ni = static_cast<std::int32_t>(n);
        RowStore<double> fast = Store(a), ref = Store(a), qFast, qRef;
        ASSERT_TRUE(qFast.Allocate(mi, ni) && qRef.Allocate(mi, ni));
        std::vector<double> dFast(n), dRef(n), sums(n);
        HouseholderQR(fast.data(), mi, ni, dFast.data(), sums.data());
        HouseholderQRReference(ref.data(), mi, ni, dRef.data());
        HouseholderFormQ(fast.data(), mi, ni, qFast.data(), sums.data());
        HouseholderFormQReference(ref.data(), mi, ni, qRef.data());
        for (std::size_t j = 0; j < n; ++j) ASSERT_EQ(Key(dFast[j]), Key(dRef[j]));
        for (std::int32_t i = 0; i < mi; ++i)
            for (std::int32_t j = 0; j < ni; ++j) {
                ASSERT_EQ(Key(fast[i][j]), Key(ref[i][j])) << i << "," << j;
                ASSERT_EQ(Key(qFast[i][j]), Key(qRef[i][j])) << i << "," << j;
            }
    }
}

TEST(FastKernels, GolubReinschSVDMatchesItsReferenceBitForBit) {
    std::mt19937_64 rng(505);
    for (int trial = 0; trial < 150; ++trial) {
        const std::size_t n = 1 + static_cast<std::size_t>(trial % 19);
        const std::size_t m = static_cast<std::size_t>(std::max(1, static_cast<int>(n) + (trial % 5) * 2 - 4));
        const bool wantU = trial % 3 != 1, wantV = trial % 3 != 2;
        SCOPED_TRACE(testing::Message() << "trial " << trial << " " << m << "x" << n << " U " << wantU << " V " << wantV);
        const Dense a = Random(rng, m, n, trial);
        const auto mi = static_cast<std::int32_t>(m), ni = static_cast<std::int32_t>(n);
        RowStore<double> fast = Store(a), ref = Store(a), ut, vt, v;
        ASSERT_TRUE(ut.Allocate(ni, mi) && vt.Allocate(ni, ni) && v.Allocate(ni, ni));
        std::vector<double> wF(n), eF(n), wR(n), eR(n), sigma(n);
        std::int32_t sweepsF = -1, sweepsR = -2;
        const int codeF = GolubReinschSVD(fast.data(), mi, ni, wF.data(), eF.data(), sigma.data(),
                                          wantU ? ut.data() : nullptr, wantV ? vt.data() : nullptr, 30, &sweepsF);
        const int codeR = GolubReinschSVDReference(ref.data(), mi, ni, wR.data(), eR.data(),
                                                   wantV ? v.data() : nullptr, wantU, 30, &sweepsR);
        ASSERT_EQ(codeF, codeR);
        ASSERT_EQ(sweepsF, sweepsR);
        for (std::size_t j = 0; j < n; ++j) ASSERT_EQ(Key(wF[j]), Key(wR[j])) << j;
        for (std::int32_t j = 0; j < ni; ++j) {
            for (std::int32_t i = 0; wantU && i < mi; ++i) ASSERT_EQ(Key(ut[j][i]), Key(ref[i][j])) << i << "," << j;
            for (std::int32_t i = 0; wantV && i < ni; ++i) ASSERT_EQ(Key(vt[j][i]), Key(v[i][j])) << i << "," << j;
        }
    }
}

}  // namespace
}  // namespace corvane
