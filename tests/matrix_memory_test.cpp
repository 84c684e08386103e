// Sizes that cannot be stored, and allocation failure at every point: the
// object is left exactly as it was and nothing leaks (the sanitizer build
// reports leaks).
#include <gtest/gtest.h>

#include <cstdint>

#include "core/allocation.h"
#include "core/buffer.h"
#include "core/matrix.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::ExpectSameBits;
using test::Make;

// Restores normal allocation when a test ends, passed or failed.
struct AllocationGuard {
    ~AllocationGuard() { FailAllocationsAfter(-1); }
};

Matrix Sample() { return Make({{1, -0.0, 3}, {4, 5, 6}}); }

TEST(MatrixMemory, UnstorableSizesFailCleanly) {
    const std::int32_t big = kMaxSize;
    Matrix before = Sample();
    for (auto [r, c] : {std::pair{big, big}, {1, big}, {2, 536870912}, {3, 1073741824}}) {
        SCOPED_TRACE(testing::Message() << r << " x " << c);
        Matrix unsized;
        EXPECT_EQ(unsized.Size(r, c).code(), Status::OutOfMemory().code());
        EXPECT_FALSE(unsized.sized());
        EXPECT_EQ(unsized.Rows(), 0);
        EXPECT_EQ(unsized.Cols(), 0);

        Matrix sized = Sample();
        EXPECT_EQ(sized.Size(r, c).code(), Status::OutOfMemory().code());
        ExpectSameBits(sized, before);
    }
}

TEST(MatrixMemory, TooManyRowsFailOnA32BitAddressSpace) {
    if (sizeof(void*) != 4) GTEST_SKIP() << "only a 32-bit address space rules this size out up front";
    Matrix m = Sample();
    EXPECT_EQ(m.Size(kMaxSize, 1).code(), Status::OutOfMemory().code());
    EXPECT_EQ(m.PutRows(kMaxSize).code(), Status::OutOfMemory().code());
    ExpectSameBits(m, Sample());
}

// A count whose bytes do not fit the address space is refused, not cut down
// to the low bits of a 32-bit size (which would hand out a short block).
TEST(MatrixMemory, AWorkVectorBeyondTheAddressSpaceIsRefused) {
    Buffer<double> d;
    ASSERT_TRUE(d.Allocate(2));
    EXPECT_FALSE(d.Allocate((std::int64_t{1} << 61) + 1));
    EXPECT_EQ(d.size(), 0);
    EXPECT_EQ(d.data(), nullptr);
    Buffer<char> c;
    EXPECT_FALSE(c.Allocate((std::int64_t{1} << 62) + 16));
    EXPECT_EQ(c.size(), 0);
}

TEST(MatrixMemory, AHugeLoneCountIsRecordedAndRefusedWhenStorageIsNeeded) {
    Matrix m;
    ASSERT_TRUE(m.PutCols(kMaxSize).ok());
    EXPECT_EQ(m.Cols(), kMaxSize);
    EXPECT_EQ(m.PutRows(1).code(), Status::OutOfMemory().code());
    EXPECT_EQ(m.Rows(), 0);  // the failed call recorded no row count
    EXPECT_FALSE(m.sized());
    ASSERT_TRUE(m.PutCols(2).ok());  // still without a row count: just recorded
    ASSERT_TRUE(m.PutRows(3).ok());
    EXPECT_EQ(m.Rows(), 3);
    EXPECT_EQ(m.Cols(), 2);
}

// A resize needs one pointer array and one block per row; failing any of them
// must keep the old matrix intact.
TEST(MatrixMemory, ResizeFailingAtEveryAllocationKeepsTheOldMatrix) {
    AllocationGuard guard;
    const Matrix reference = Sample();
    for (long k = 0; k <= 5; ++k) {
        SCOPED_TRACE(k);
        Matrix m = Sample();
        FailAllocationsAfter(k);
        const Status s = m.Size(4, 5);
        FailAllocationsAfter(-1);
        if (k < 5) {
            EXPECT_EQ(s.code(), Status::OutOfMemory().code());
            ExpectSameBits(m, reference);
        } else {
            ASSERT_TRUE(s.ok());
            EXPECT_EQ(m.Rows(), 4);
            EXPECT_EQ(test::Bits(m.at(0, 1)), test::Bits(-0.0));
        }
    }
}

TEST(MatrixMemory, NewResultsFailingToAllocateLeaveTheOutputAlone) {
    AllocationGuard guard;
    const Matrix m = Sample();
    for (long k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        Matrix out = Make({{9}});
        FailAllocationsAfter(k);
        const Status clone = m.Clone(&out);
        FailAllocationsAfter(-1);
        EXPECT_EQ(clone.code(), Status::OutOfMemory().code());
        ExpectSameBits(out, Make({{9}}));
    }
    Matrix out = Make({{9}});
    FailAllocationsAfter(1);
    EXPECT_EQ(m.ColVector(0, &out).code(), Status::OutOfMemory().code());
    FailAllocationsAfter(0);
    EXPECT_EQ(m.RowVector(0, &out).code(), Status::OutOfMemory().code());
    FailAllocationsAfter(-1);
    ExpectSameBits(out, Make({{9}}));
}

TEST(MatrixMemory, SizingFromUnsizedFailsWithoutRecordingCounts) {
    AllocationGuard guard;
    Matrix m;
    ASSERT_TRUE(m.PutRows(3).ok());
    FailAllocationsAfter(2);
    EXPECT_EQ(m.PutCols(4).code(), Status::OutOfMemory().code());
    FailAllocationsAfter(-1);
    EXPECT_FALSE(m.sized());
    EXPECT_EQ(m.Rows(), 3);
    EXPECT_EQ(m.Cols(), 0);
}

}  // namespace
}  // namespace corvane
