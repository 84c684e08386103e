// The complex matrix object: the shared storage with Complex elements and the
// conversion of a real matrix.
#include <gtest/gtest.h>

#include <limits>

#include "arithmetic_test_support.h"
#include "core/allocation.h"
#include "core/cmatrix.h"

namespace corvane {
namespace {

using test::Bits;
using test::ExpectSameMatrix;
using test::Make;
using test::MakeC;

TEST(CMatrix, ElementsStartAtZeroAndKeepBothParts) {
    CMatrix m;
    ASSERT_TRUE(m.Size(2, 2).ok());
    ASSERT_TRUE(m.PutItem(1, 1, Complex{2, -3}).ok());
    Complex v{9, 9};
    ASSERT_TRUE(m.Item(1, 1, &v).ok());
    EXPECT_EQ(v.Real, 2.0);
    EXPECT_EQ(v.Imag, -3.0);
    ExpectSameMatrix(m, MakeC({{{0, 0}, {0, 0}}, {{0, 0}, {2, -3}}}));
    EXPECT_EQ(m.RowBytes(), 32u);
    EXPECT_EQ(m.Item(2, 0, &v).message(), 1319);
    EXPECT_EQ(m.Item(0, 2, &v).message(), 1320);
}

TEST(CMatrix, ToCMatrixCopiesRealPartsWithZeroImaginaryParts) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Matrix a = Make({{1, -0.0, 3}, {nan, 5e-310, -6}});
    CMatrix c = MakeC({{{9, 9}}});
    ASSERT_TRUE(ToCMatrix(a, &c).ok());
    ASSERT_EQ(c.Rows(), 2);
    ASSERT_EQ(c.Cols(), 3);
    for (std::int32_t i = 0; i < 2; ++i)
        for (std::int32_t j = 0; j < 3; ++j) {
            EXPECT_EQ(Bits(c.at(i, j).Real), Bits(a.at(i, j)));
            EXPECT_EQ(Bits(c.at(i, j).Imag), Bits(0.0));
        }
}

TEST(CMatrix, ToCMatrixFailuresLeaveTheOutputAlone) {
    Matrix unsized;
    CMatrix c = MakeC({{{9, 9}}});
    EXPECT_EQ(ToCMatrix(unsized, &c).message(), 1321);
    Matrix rowsOnly;
    ASSERT_TRUE(rowsOnly.PutRows(2).ok());
    EXPECT_EQ(ToCMatrix(rowsOnly, &c).message(), 1321);
    EXPECT_EQ(ToCMatrix(unsized, nullptr).message(), 1321);
    EXPECT_EQ(ToCMatrix(Make({{1}}), nullptr).code(), Status::NullPointer().code());
    const Matrix two = Make({{1}, {2}});
    for (long k = 0; k < 3; ++k) {  // the row pointers, then each row
        FailAllocationsAfter(k);
        const Status s = ToCMatrix(two, &c);
        FailAllocationsAfter(-1);
        EXPECT_EQ(s.code(), Status::OutOfMemory().code());
    }
    ExpectSameMatrix(c, MakeC({{{9, 9}}}));
}

}  // namespace
}  // namespace corvane
