// EigenC of the complex matrix: the documented examples, the descending
// modulus order, residuals through the outputs, the output rule and every
// failure leaving the outputs alone.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <random>
#include <vector>

#include "complex/complex.h"
#include "core/allocation.h"
#include "core/cmatrix.h"
#include "eigen/cmatrix_eigen.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using CM = CMatrix;
using Cx = std::complex<double>;
using test::Bits;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct AllocationGuard {
    ~AllocationGuard() { FailAllocationsAfter(-1); }
};

CM MakeC(std::initializer_list<std::initializer_list<Complex>> rows) {
    CM m;
    EXPECT_TRUE(m.Size(static_cast<std::int32_t>(rows.size()), static_cast<std::int32_t>(rows.begin()->size())).ok());
    std::int32_t i = 0;
    for (const auto& row : rows) {
        std::int32_t j = 0;
        for (const Complex& v : row) m.at(i, j++) = v;
        ++i;
    }
    return m;
}

CM RandomC(std::int32_t n, std::mt19937_64& rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    CM m;
    EXPECT_TRUE(m.Size(n, n).ok());
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) m.at(i, j) = {u(rng), u(rng)};
    return m;
}

Cx At(const CM& m, std::int32_t i, std::int32_t j) { return {m.at(i, j).Real, m.at(i, j).Imag}; }

void ExpectSameBitsC(const CM& a, const CM& b) {
    ASSERT_EQ(a.Rows(), b.Rows());
    ASSERT_EQ(a.Cols(), b.Cols());
    ASSERT_EQ(a.sized(), b.sized());
    if (!a.sized()) return;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j) {
            EXPECT_EQ(Bits(a.at(i, j).Real), Bits(b.at(i, j).Real)) << i << "," << j;
            EXPECT_EQ(Bits(a.at(i, j).Imag), Bits(b.at(i, j).Imag)) << i << "," << j;
        }
}

void ExpectC(const CM& m, std::int32_t i, std::int32_t j, Cx want, double tol = 0.0) {
    if (tol == 0.0) {
        EXPECT_EQ(At(m, i, j), want) << "(" << i << ", " << j << ")";
    } else {
        EXPECT_LE(std::abs(At(m, i, j) - want), tol) << "(" << i << ", " << j << ") is " << At(m, i, j);
    }
}

TEST(CMatrixEigenC, OneByOne) {
    const CM a = MakeC({{{2.5, -1.5}}});
    CM values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
    ASSERT_EQ(values.Rows(), 1);
    ASSERT_EQ(values.Cols(), 1);
    ExpectC(values, 0, 0, {2.5, -1.5});
    ExpectC(vectors, 0, 0, {1.0, 0.0});
}

// Diagonal values sorted by descending modulus, equal moduli (−5 and 5i,
// computed exactly) in position order, each with its unit column.
TEST(CMatrixEigenC, DiagonalSortsByDescendingModulusTiesByPosition) {
    const CM a = MakeC({{{1, 1}, {0, 0}, {0, 0}, {0, 0}},
                        {{0, 0}, {-5, 0}, {0, 0}, {0, 0}},
                        {{0, 0}, {0, 0}, {3, 0}, {0, 0}},
                        {{0, 0}, {0, 0}, {0, 0}, {0, 5}}});
    CM values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
    const Cx want[] = {{-5, 0}, {0, 5}, {3, 0}, {1, 1}};
    const std::int32_t row[] = {1, 3, 2, 0};
    ASSERT_EQ(values.Rows(), 4);
    ASSERT_EQ(values.Cols(), 1);
    ASSERT_EQ(vectors.Rows(), 4);
    ASSERT_EQ(vectors.Cols(), 4);
    for (std::int32_t k = 0; k < 4; ++k) {
        ExpectC(values, k, 0, want[k]);
        for (std::int32_t i = 0; i < 4; ++i) ExpectC(vectors, i, k, {i == row[k] ? 1.0 : 0.0, 0.0});
    }
}

// The rotation stored as a complex matrix: i and −i, each vector with a
// largest part of +1.
TEST(CMatrixEigenC, RotationGivesPlusAndMinusI) {
    const CM a = MakeC({{{0, 0}, {-1, 0}}, {{1, 0}, {0, 0}}});
    CM values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
    const Cx v0 = At(values, 0, 0), v1 = At(values, 1, 0);
    EXPECT_NEAR(std::abs(v0 - Cx(0, 1)) * std::abs(v0 - Cx(0, -1)), 0.0, 1e-15);
    EXPECT_NEAR(std::abs(v0 + v1), 0.0, 1e-15);
    for (std::int32_t k = 0; k < 2; ++k) {
        const Cx lambda = At(values, k, 0);
        const Cx x0 = At(vectors, 0, k), x1 = At(vectors, 1, k);
        EXPECT_LT(std::abs(-x1 - lambda * x0) + std::abs(x0 - lambda * x1), 1e-15);
        EXPECT_NEAR(std::max({std::fabs(x0.real()), std::fabs(x0.imag()), std::fabs(x1.real()), std::fabs(x1.imag())}),
                    1.0, 1e-15);
    }
}

TEST(CMatrixEigenC, ZeroMatrixGivesZerosAndTheIdentity) {
    CM a;
    ASSERT_TRUE(a.Size(3, 3).ok());
    CM values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
    for (std::int32_t i = 0; i < 3; ++i) {
        ExpectC(values, i, 0, {0, 0});
        for (std::int32_t j = 0; j < 3; ++j) ExpectC(vectors, i, j, {i == j ? 1.0 : 0.0, 0.0});
    }
}

// [[0, 1], [0, 1]]: the eigenvalue 0 sits at position 0 of the kernel; its
// vector (1, 0) must survive the back-transformation.
TEST(CMatrixEigenC, ZeroEigenvalueAtPositionZeroHasItsVector) {
    const CM a = MakeC({{{0, 0}, {1, 0}}, {{0, 0}, {1, 0}}});
    CM values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
    ExpectC(values, 0, 0, {1, 0}, 1e-15);
    ExpectC(values, 1, 0, {0, 0}, 1e-15);
    ExpectC(vectors, 0, 0, {1, 0}, 1e-15);
    ExpectC(vectors, 1, 0, {1, 0}, 1e-15);
    ExpectC(vectors, 0, 1, {1, 0}, 1e-15);
    ExpectC(vectors, 1, 1, {0, 0}, 1e-15);
}

// Through the outputs: every column is an eigenvector of its value, scaled
// to a largest part of +1, and the moduli never increase.
TEST(CMatrixEigenC, RandomMatricesGiveOrderedEigenpairs) {
    std::mt19937_64 rng(4242);
    for (std::int32_t n : {2, 3, 6, 11, 24, 40}) {
        for (int rep = 0; rep < 3; ++rep) {
            SCOPED_TRACE(testing::Message() << "n=" << n << " rep=" << rep);
            const CM a = RandomC(n, rng);
            CM values, vectors;
            ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
            double anorm = 0.0;
            for (std::int32_t i = 0; i < n; ++i)
                for (std::int32_t j = 0; j < n; ++j) anorm += std::norm(At(a, i, j));
            anorm = std::sqrt(anorm);
            for (std::int32_t k = 0; k < n; ++k) {
                const Cx lambda = At(values, k, 0);
                if (k > 0) {
                    const Cx prev = At(values, k - 1, 0);
                    EXPECT_GE(std::sqrt(prev.real() * prev.real() + prev.imag() * prev.imag()),
                              std::sqrt(lambda.real() * lambda.real() + lambda.imag() * lambda.imag()));
                }
                double r2 = 0.0, v2 = 0.0, largest = 0.0, largestValue = 0.0;
                for (std::int32_t i = 0; i < n; ++i) {
                    Cx s = 0.0;
                    for (std::int32_t j = 0; j < n; ++j) s += At(a, i, j) * At(vectors, j, k);
                    r2 += std::norm(s - lambda * At(vectors, i, k));
                    v2 += std::norm(At(vectors, i, k));
                    for (double part : {vectors.at(i, k).Real, vectors.at(i, k).Imag})
                        if (std::fabs(part) > std::fabs(largest)) largest = largestValue = part;
                }
                EXPECT_LT(std::sqrt(r2 / v2), 1e-14 * n * anorm) << "column " << k;
                EXPECT_NEAR(largestValue, 1.0, 4e-16) << "column " << k;
            }
        }
    }
}

// Without Eigenvectors only the values are written, and they are the same
// bits as with vectors; Eigenvectors alone works as well.
TEST(CMatrixEigenC, OmittedOutputsAreSkipped) {
    std::mt19937_64 rng(17);
    const CM a = RandomC(7, rng);
    CM values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
    CM valuesOnly;
    ASSERT_TRUE(EigenC(a, &valuesOnly, nullptr).ok());
    ExpectSameBitsC(valuesOnly, values);
    CM vectorsOnly;
    ASSERT_TRUE(EigenC(a, nullptr, &vectorsOnly).ok());
    ExpectSameBitsC(vectorsOnly, vectors);
    EXPECT_TRUE(EigenC(a, nullptr, nullptr).ok());
}

// The same object for both outputs ends with the vectors; the matrix itself
// as an output is overwritten only after its copy was taken.
TEST(CMatrixEigenC, SharedAndSelfOutputs) {
    std::mt19937_64 rng(23);
    const CM a = RandomC(5, rng);
    CM values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());

    CM both;
    ASSERT_TRUE(EigenC(a, &both, &both).ok());
    ExpectSameBitsC(both, vectors);

    CM self;
    ASSERT_TRUE(a.Clone(&self).ok());
    ASSERT_TRUE(EigenC(self, &self, nullptr).ok());
    ExpectSameBitsC(self, values);
    ASSERT_TRUE(a.Clone(&self).ok());
    ASSERT_TRUE(EigenC(self, nullptr, &self).ok());
    ExpectSameBitsC(self, vectors);
}

// An output object whose Size and Item put fail still gets every call, in
// the order Size first; their results are not examined.
class RecordingWriter final : public CMatrixOut {
public:
    Status Size(std::int32_t rows, std::int32_t cols) override {
        sizes.push_back({rows, cols});
        sizeBeforePuts = puts == 0;
        return kInvalidRows;
    }
    Status PutItem(std::int32_t, std::int32_t, const Complex&) override {
        ++puts;
        return kRowIndex;
    }
    Status Clear() override {
        ++clears;
        return kNotSized;
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> sizes;
    int puts = 0, clears = 0;
    bool sizeBeforePuts = false;
};

TEST(CMatrixEigenC, OutputFailuresAreIgnored) {
    std::mt19937_64 rng(29);
    const CM a = RandomC(4, rng);
    RecordingWriter values, vectors;
    ASSERT_TRUE(EigenC(a, &values, &vectors).ok());
    ASSERT_EQ(values.sizes.size(), 1u);
    EXPECT_EQ(values.sizes[0], (std::pair<std::int32_t, std::int32_t>{4, 1}));
    EXPECT_EQ(values.puts, 4);
    EXPECT_TRUE(values.sizeBeforePuts);
    ASSERT_EQ(vectors.sizes.size(), 1u);
    EXPECT_EQ(vectors.sizes[0], (std::pair<std::int32_t, std::int32_t>{4, 4}));
    EXPECT_EQ(vectors.puts, 16);
    EXPECT_EQ(values.clears + vectors.clears, 0);
}

TEST(CMatrixEigenC, FailuresLeaveTheOutputsAlone) {
    AllocationGuard guard;
    const CM before = MakeC({{{9, 8}}});
    CM values, vectors;
    ASSERT_TRUE(before.Clone(&values).ok());
    ASSERT_TRUE(before.Clone(&vectors).ok());

    CM unsized;
    EXPECT_EQ(EigenC(unsized, &values, &vectors), Status(kNotSized));
    CM rows;
    ASSERT_TRUE(rows.PutRows(3).ok());  // a count alone does not size it
    EXPECT_EQ(EigenC(rows, &values, &vectors), Status(kNotSized));
    CM wide;
    ASSERT_TRUE(wide.Size(2, 3).ok());
    FailAllocationsAfter(0);  // the shape is refused before anything is allocated
    EXPECT_EQ(EigenC(wide, &values, &vectors), Status(kNotSquare));
    FailAllocationsAfter(-1);

    // No convergence: a matrix full of NaN never deflates.
    CM nan;
    ASSERT_TRUE(nan.Size(3, 3).ok());
    for (std::int32_t i = 0; i < 3; ++i)
        for (std::int32_t j = 0; j < 3; ++j) nan.at(i, j) = {kNaN, 1.0};
    EXPECT_EQ(EigenC(nan, &values, &vectors), Status(kEigenFailed));
    EXPECT_EQ(EigenC(nan, &values, nullptr), Status(kEigenFailed));
    EXPECT_EQ(EigenC(nan, nullptr, nullptr), Status(kEigenFailed));
    ExpectSameBitsC(values, before);
    ExpectSameBitsC(vectors, before);

    // Out of memory at every allocation of the work storage.
    std::mt19937_64 rng(31);
    const CM a = RandomC(4, rng);
    for (bool wantVectors : {false, true}) {
        for (long k = 0;; ++k) {
            SCOPED_TRACE(testing::Message() << "vectors=" << wantVectors << " k=" << k);
            FailAllocationsAfter(k);
            const Status s = EigenC(a, &values, wantVectors ? &vectors : nullptr);
            FailAllocationsAfter(-1);
            if (s.ok()) {
                EXPECT_GT(k, 10);
                break;
            }
            EXPECT_EQ(s.code(), Status::OutOfMemory().code());
            ExpectSameBitsC(values, before);
            ExpectSameBitsC(vectors, before);
            ASSERT_LT(k, 100);
        }
        ASSERT_TRUE(before.Clone(&values).ok());
        ASSERT_TRUE(before.Clone(&vectors).ok());
    }
}

// Descending modulus, ties by position, NaN moduli last by position: a strict
// weak ordering, so the sort stays inside the table whatever the values.
TEST(CMatrixEigenC, OrderIsTotalEvenWithNaN) {
    const double wr[] = {1, kNaN, 3, -3, 0, 2, 0};
    const double wi[] = {0, 0, 0, 0, 0, kNaN, -1};
    EigenOrderRecord records[7];
    EigenOrder(7, wr, wi, records);
    const std::int32_t want[] = {2, 3, 0, 6, 4, 1, 5};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(records[k].index, want[k]) << k;

    std::mt19937_64 rng(37);
    std::uniform_int_distribution<int> pick(0, 5);
    const int n = 300;
    std::vector<double> r(n), i(n);
    for (int k = 0; k < n; ++k) {
        const int c = pick(rng);
        r[static_cast<std::size_t>(k)] = c == 0 ? kNaN : static_cast<double>(c % 3);
        i[static_cast<std::size_t>(k)] = c == 1 ? kNaN : 0.0;
    }
    std::vector<EigenOrderRecord> table(n);
    EigenOrder(n, r.data(), i.data(), table.data());
    std::vector<bool> seen(n, false);
    for (int k = 0; k < n; ++k) {
        const auto& rec = table[static_cast<std::size_t>(k)];
        ASSERT_GE(rec.index, 0);
        ASSERT_LT(rec.index, n);
        EXPECT_FALSE(seen[static_cast<std::size_t>(rec.index)]);
        seen[static_cast<std::size_t>(rec.index)] = true;
        if (k == 0) continue;
        const auto& prev = table[static_cast<std::size_t>(k - 1)];
        if (std::isnan(prev.modulus)) {
            EXPECT_TRUE(std::isnan(rec.modulus));
            EXPECT_LT(prev.index, rec.index);
        } else if (!std::isnan(rec.modulus)) {
            EXPECT_GE(prev.modulus, rec.modulus);
            if (prev.modulus == rec.modulus) {
                EXPECT_LT(prev.index, rec.index);
            }
        }
    }
}

}  // namespace
}  // namespace corvane
