// IsEqualTo and IsSymmetric of both element types: the non-strict absolute
// test, NaN differences, shapes that give False, early stopping, and symmetry
// that is not the Hermitian property.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "arithmetic_test_support.h"
#include "core/comparisons.h"

namespace corvane {
namespace {

using test::FakeReader;
using test::Make;
using test::MakeC;

constexpr double kDefault = 1e-9;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Equal(const Matrix& a, const MatrixIn& b, double tol) {
    bool r = false;
    EXPECT_TRUE(IsEqualTo(a, &b, tol, &r).ok());
    return r;
}
bool Equal(const CMatrix& a, const CMatrixIn& b, double tol) {
    bool r = false;
    EXPECT_TRUE(IsEqualTo(a, &b, tol, &r).ok());
    return r;
}
template <class T>
bool Symmetric(const BasicMatrix<T>& a, double tol = kDefault) {
    bool r = false;
    EXPECT_TRUE(IsSymmetric(a, tol, &r).ok());
    return r;
}

TEST(IsEqualTo, TheToleranceIsAbsoluteAndNotStrict) {
    EXPECT_TRUE(Equal(Make({{1}}), Make({{1.5}}), 0.5));
    EXPECT_FALSE(Equal(Make({{1}}), Make({{1.6}}), 0.5));
    EXPECT_FALSE(Equal(Make({{1e12}}), Make({{1e12 + 1}}), 0.5));  // not relative
    EXPECT_TRUE(Equal(Make({{1, 2}, {3, 4}}), Make({{1, 2}, {3, 4}}), 0.0));
    EXPECT_FALSE(Equal(Make({{1, 2}, {3, 4}}), Make({{1, 2}, {3, 4.25}}), 0.125));
}

TEST(IsEqualTo, ANaNDifferenceCountsAsEqualButANegativeToleranceFailsEveryFinitePair) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(Equal(Make({{kNaN, 1}}), Make({{5, 1}}), 0.0));
    EXPECT_TRUE(Equal(Make({{inf}}), Make({{inf}}), 0.0));  // inf − inf is NaN
    EXPECT_FALSE(Equal(Make({{inf}}), Make({{1}}), 1e300));
    EXPECT_FALSE(Equal(Make({{0}}), Make({{0}}), -1.0));
    EXPECT_TRUE(Equal(Make({{kNaN}}), Make({{0}}), -1.0));
}

TEST(IsEqualTo, OtherShapesGiveFalseWithoutAFailure) {
    const Matrix a = Make({{1, 2}, {3, 4}});
    EXPECT_FALSE(Equal(a, Make({{1, 2, 0}, {3, 4, 0}}), 1e300));
    EXPECT_FALSE(Equal(a, Make({{1, 2}}), 1e300));
    EXPECT_FALSE(Equal(a, Matrix(), 1e300));
    FakeReader<double> wide(2, 3, [](std::int32_t, std::int32_t) { return 0.0; });
    bool r = true;
    const Status s = IsEqualTo(a, &wide, 1e300, &r);
    EXPECT_EQ(s.code(), 0);
    EXPECT_FALSE(r);
    EXPECT_TRUE(wide.reads.empty());
}

TEST(IsEqualTo, ReadsRowByRowAndStopsAtTheFirstDifference) {
    const Matrix a = Make({{1, 2, 3}, {4, 5, 6}});
    FakeReader<double> b(2, 3, [](std::int32_t i, std::int32_t j) { return i == 1 && j == 0 ? 9.0 : 3.0 * i + j + 1; });
    EXPECT_FALSE(Equal(a, b, kDefault));
    EXPECT_EQ(b.reads, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 0}, {0, 1}, {0, 2}, {1, 0}}));

    FakeReader<double> same(2, 3, [](std::int32_t i, std::int32_t j) { return 3.0 * i + j + 1; });
    EXPECT_TRUE(Equal(a, same, kDefault));
    EXPECT_EQ(same.reads, test::RowByRow(2, 3));

    // A failed read counts as zero.
    const Matrix zeros = Make({{0, 0}});
    FakeReader<double> broken(1, 2, [](std::int32_t, std::int32_t) { return 7.0; });
    broken.failing = {{0, 0}, {0, 1}};
    EXPECT_TRUE(Equal(zeros, broken, 0.0));
}

TEST(IsEqualTo, AMatrixEqualsItselfAndFailuresWriteNothing) {
    const Matrix a = Make({{1, -2}, {kNaN, 4}});
    EXPECT_TRUE(Equal(a, a, 0.0));
    Matrix unsized;
    bool r = true;
    EXPECT_EQ(IsEqualTo(unsized, &a, 1.0, &r).message(), 1321);
    EXPECT_EQ(IsEqualTo(unsized, nullptr, 1.0, &r).message(), 1321);
    EXPECT_EQ(IsEqualTo(a, nullptr, 1.0, &r).code(), Status::NullPointer().code());
    EXPECT_EQ(IsEqualTo(a, &a, 1.0, nullptr).code(), Status::NullPointer().code());
    EXPECT_TRUE(r);
}

TEST(IsEqualTo, ComplexPartsAreComparedSeparatelyNotByModulus) {
    EXPECT_FALSE(Equal(MakeC({{{1, 1}}}), MakeC({{{1, 1.5}}}), 0.4));
    EXPECT_TRUE(Equal(MakeC({{{1, 1}}}), MakeC({{{1, 1.5}}}), 0.5));
    // Both parts off by 0.5: the modulus of the difference (0.707) would fail.
    EXPECT_TRUE(Equal(MakeC({{{0, 0}}}), MakeC({{{0.5, -0.5}}}), 0.5));
    EXPECT_FALSE(Equal(MakeC({{{0, 0}}}), MakeC({{{0.75, 0}}}), 0.5));
    EXPECT_TRUE(Equal(MakeC({{{kNaN, 0}}}), MakeC({{{3, 0}}}), 0.0));
    EXPECT_FALSE(Equal(MakeC({{{0, 0}, {1, 1}}}), MakeC({{{0, 0}}, {{1, 1}}}), 1.0));
}

TEST(IsSymmetric, ExamplesAndTheNonStrictTolerance) {
    EXPECT_TRUE(Symmetric(Make({{1, 2}, {2 + 1e-10, 1}})));
    EXPECT_FALSE(Symmetric(Make({{1, 2}, {2 + 1e-8, 1}})));
    EXPECT_FALSE(Symmetric(Make({{1, 2, 3}, {2, 1, 0}}), 1e300));
    EXPECT_FALSE(Symmetric(Make({{1, 2}, {2, 1}, {0, 0}}), 1e300));
    EXPECT_TRUE(Symmetric(Make({{7}})));
    EXPECT_TRUE(Symmetric(Make({{0, 0.5}, {0, 0}}), 0.5));
    EXPECT_FALSE(Symmetric(Make({{0, 0.5}, {0, 0}}), 0.25));
    // The last pair of the triangle is checked too.
    EXPECT_FALSE(Symmetric(Make({{1, 2, 3}, {2, 1, 4}, {3, 5, 1}})));
    EXPECT_TRUE(Symmetric(Make({{1, 2, 3}, {2, 1, 4}, {3, 4, 1}})));
}

TEST(IsSymmetric, OnlyMirroredPairsAreCompared) {
    // The diagonal is never compared, so even a negative tolerance passes a
    // 1 × 1 matrix and a diagonal NaN.
    EXPECT_TRUE(Symmetric(Make({{5}}), -1.0));
    EXPECT_TRUE(Symmetric(Make({{kNaN, 1}, {1, 2}}), 0.0));
    EXPECT_FALSE(Symmetric(Make({{0, 1}, {1, 2}}), -1.0));
    EXPECT_TRUE(Symmetric(Make({{0, kNaN}, {1, 2}}), 0.0));  // NaN difference
}

TEST(IsSymmetric, ComplexSymmetryIsNotHermitian) {
    EXPECT_FALSE(Symmetric(MakeC({{{1, 0}, {2, 5}}, {{2, -5}, {1, 0}}})));
    EXPECT_TRUE(Symmetric(MakeC({{{1, 0}, {2, 5}}, {{2, 5}, {1, 0}}})));
    EXPECT_FALSE(Symmetric(MakeC({{{0, 0}, {9, 1}}, {{0, 1}, {0, 0}}})));
    EXPECT_TRUE(Symmetric(MakeC({{{0, 0}, {9, 1}}, {{9.25, 0.75}, {0, 0}}}), 0.25));
    EXPECT_FALSE(Symmetric(MakeC({{{0, 0}, {9, 1}}, {{9.25, 0.75}, {0, 0}}}), 0.125));
    EXPECT_FALSE(Symmetric(MakeC({{{0, 0}, {0, 0}, {0, 0}}}), 1e300));
}

TEST(IsSymmetric, FailuresWriteNothing) {
    bool r = true;
    Matrix unsized;
    EXPECT_EQ(IsSymmetric(unsized, 1.0, &r).message(), 1321);
    CMatrix cunsized;
    EXPECT_EQ(IsSymmetric(cunsized, 1.0, &r).message(), 1321);
    EXPECT_TRUE(r);
    EXPECT_EQ(IsSymmetric(Make({{1}}), 1.0, nullptr).code(), Status::NullPointer().code());
}

}  // namespace
}  // namespace corvane
