#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "complex/complex.h"
#include "core/allocation.h"
#include "core/array_conversion.h"
#include "core/matrix.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::Contents;
using test::ExpectSameBits;
using test::Make;
using CMatrix = BasicMatrix<Complex>;
using Rows = std::vector<std::vector<double>>;

// A test double of a host's array: any bounds, any number of dimensions,
// failures on demand; it records what it is asked.
struct FakeArray final : ArraySource {
    std::int32_t dims = 2;
    std::int32_t lower[3] = {0, 0, 0};
    std::int32_t upper[3] = {-1, -1, -1};
    bool doubles = true;
    std::map<std::pair<std::int32_t, std::int32_t>, double> values;
    Status boundsStatus = Status::Ok();
    Status readStatus = Status::Ok();
    int readsBeforeFailure = -1;
    mutable std::string asked;
    mutable int reads = 0;

    std::int32_t Dimensions() const override {
        asked += "d";
        return dims;
    }
    Status Bounds(std::int32_t dim, std::int32_t* lo, std::int32_t* hi) const override {
        asked += 'b';
        asked += static_cast<char>('0' + dim);
        EXPECT_TRUE(dim >= 1 && dim <= dims);
        if (!boundsStatus) return boundsStatus;
        *lo = lower[dim - 1];
        *hi = upper[dim - 1];
        return Status::Ok();
    }
    bool HoldsDoubles() const override {
        asked += "t";
        return doubles;
    }
    Status Read(std::int32_t first, std::int32_t second, double* value) const override {
        if (reads == 0) asked += "r";
        if (readsBeforeFailure >= 0 && reads >= readsBeforeFailure) return readStatus;
        ++reads;
        EXPECT_TRUE(first >= lower[0] && first <= upper[0]);
        if (dims == 2) EXPECT_TRUE(second >= lower[1] && second <= upper[1]);
        else EXPECT_EQ(second, 0);
        const auto it = values.find({first, second});
        *value = it == values.end() ? -1.0 : it->second;
        return Status::Ok();
    }
};

// A two-dimensional array with the given rows, bounds from lo1 and lo2.
FakeArray Array2(const Rows& rows, std::int32_t lo1 = 0, std::int32_t lo2 = 0) {
    FakeArray a;
    a.lower[0] = lo1;
    a.lower[1] = lo2;
    a.upper[0] = lo1 + static_cast<std::int32_t>(rows.size()) - 1;
    a.upper[1] = lo2 + static_cast<std::int32_t>(rows.empty() ? 0 : rows[0].size()) - 1;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t j = 0; j < rows[i].size(); ++j)
            a.values[{lo1 + static_cast<std::int32_t>(i), lo2 + static_cast<std::int32_t>(j)}] = rows[i][j];
    return a;
}

// The array a get builds, as the sink sees it.
struct FakeSink final : ArraySink {
    std::int32_t rows = -1, cols = -1;
    std::vector<std::pair<std::int32_t, std::int32_t>> order;
    std::map<std::pair<std::int32_t, std::int32_t>, double> values;
    int writesBeforeFailure = -1;
    Status failure = Status::Platform(static_cast<std::int32_t>(0x8002000Bu));
    bool failCreate = false;

    Status Create(std::int32_t r, std::int32_t c) override {
        if (failCreate) return Status::OutOfMemory();
        EXPECT_EQ(rows, -1) << "created twice";
        rows = r;
        cols = c;
        return Status::Ok();
    }
    Status Write(std::int32_t r, std::int32_t c, double v) override {
        EXPECT_TRUE(r >= 0 && r < rows && c >= 0 && c < cols);
        if (writesBeforeFailure >= 0 && static_cast<int>(order.size()) >= writesBeforeFailure) return failure;
        order.emplace_back(r, c);
        values[{r, c}] = v;
        return Status::Ok();
    }
    FakeArray AsSource() const {
        FakeArray a;
        a.upper[0] = rows - 1;
        a.upper[1] = cols - 1;
        a.values = values;
        return a;
    }
};

TEST(AsArrayGet, ShapeOrderAndValues) {
    const Matrix m = Make({{1, 2, 3}, {4, 5, 6}});
    FakeSink sink;
    ASSERT_TRUE(AsArray(m, &sink).ok());
    EXPECT_EQ(sink.rows, 2);
    EXPECT_EQ(sink.cols, 3);
    double item = 0;
    ASSERT_TRUE(m.Item(1, 2, &item).ok());
    EXPECT_EQ((sink.values[{1, 2}]), item);
    const std::vector<std::pair<std::int32_t, std::int32_t>> rowMajor = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}};
    EXPECT_EQ(sink.order, rowMajor);

    CMatrix c;
    ASSERT_TRUE(c.Size(3, 1).ok());  // a column stays two-dimensional
    for (std::int32_t i = 0; i < 3; ++i) c.at(i, 0) = Complex{i + 0.5, -i - 0.25};
    FakeSink re, im;
    ASSERT_TRUE(AsArrayR(c, &re).ok());
    ASSERT_TRUE(AsArrayI(c, &im).ok());
    EXPECT_EQ(re.rows, 3);
    EXPECT_EQ(re.cols, 1);
    EXPECT_EQ((re.values[{2, 0}]), 2.5);
    EXPECT_EQ((im.values[{2, 0}]), -2.25);
}

TEST(AsArrayGet, FailuresCreateNothingOrReportTheSink) {
    FakeSink sink;
    Matrix unsized;
    ASSERT_TRUE(unsized.PutRows(2).ok());
    EXPECT_EQ(AsArray(unsized, &sink).message(), 1321);
    EXPECT_EQ(AsArrayR(CMatrix(), &sink).message(), 1321);
    EXPECT_EQ(AsArrayI(CMatrix(), &sink).message(), 1321);
    EXPECT_EQ(sink.rows, -1);
    EXPECT_EQ(AsArray(Make({{1}}), nullptr), Status::NullPointer());

    FakeSink failing;
    failing.failCreate = true;
    EXPECT_EQ(AsArray(Make({{1}}), &failing), Status::OutOfMemory());
    FakeSink partial;
    partial.writesBeforeFailure = 2;
    EXPECT_EQ(AsArray(Make({{1, 2}, {3, 4}}), &partial), partial.failure);
    EXPECT_EQ(partial.order.size(), 2u);
}

TEST(AsArrayPut, ShapesFromOneAndTwoDimensions) {
    // One dimension, bounds 1 … 4: a 4 × 1 matrix from element 1 on.
    FakeArray a;
    a.dims = 1;
    a.lower[0] = 1;
    a.upper[0] = 4;
    for (std::int32_t k = 1; k <= 4; ++k) a.values[{k, 0}] = 10.0 * k;
    Matrix m;
    ASSERT_TRUE(PutAsArray(m, &a).ok());
    EXPECT_EQ(Contents(m), (Rows{{10}, {20}, {30}, {40}}));
    EXPECT_EQ(a.asked, "db1tr");

    // 3 × 2 into a 5 × 5 matrix: exactly the array.
    Matrix big;
    ASSERT_TRUE(big.Size(5, 5).ok());
    for (std::int32_t i = 0; i < 5; ++i)
        for (std::int32_t j = 0; j < 5; ++j) big.at(i, j) = 99;
    FakeArray b = Array2({{1, 2}, {3, 4}, {5, 6}}, -3, 7);  // any lower bounds
    ASSERT_TRUE(PutAsArray(big, &b).ok());
    EXPECT_EQ(Contents(big), (Rows{{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_EQ(b.asked, "db1b2tr");
}

TEST(AsArrayPut, ComplexPartsKeepTheOtherPart) {
    CMatrix c;
    FakeArray re = Array2({{1, 2}, {3, 4}});
    ASSERT_TRUE(PutAsArrayR(c, &re).ok());
    EXPECT_EQ(c.at(1, 0), (Complex{3, 0}));
    FakeArray im = Array2({{5, 6}, {7, 8}}, 1, 1);
    ASSERT_TRUE(PutAsArrayI(c, &im).ok());
    EXPECT_EQ(c.at(0, 0), (Complex{1, 5}));
    EXPECT_EQ(c.at(1, 1), (Complex{4, 8}));

    // 3 × 3 imaginary parts into a 2 × 2 matrix of real parts 1.
    CMatrix d;
    ASSERT_TRUE(d.Size(2, 2).ok());
    for (std::int32_t i = 0; i < 2; ++i)
        for (std::int32_t j = 0; j < 2; ++j) d.at(i, j) = Complex{1, 9};
    FakeArray im3 = Array2({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    ASSERT_TRUE(PutAsArrayI(d, &im3).ok());
    for (std::int32_t i = 0; i < 3; ++i)
        for (std::int32_t j = 0; j < 3; ++j) {
            EXPECT_EQ(d.at(i, j).Real, i < 2 && j < 2 ? 1.0 : 0.0);
            EXPECT_EQ(d.at(i, j).Imag, 3.0 * i + j + 1);
        }
    // A smaller real part keeps the imaginary parts of the common block.
    FakeArray re1 = Array2({{-1}});
    ASSERT_TRUE(PutAsArrayR(d, &re1).ok());
    EXPECT_EQ(d.Rows(), 1);
    EXPECT_EQ(d.at(0, 0), (Complex{-1, 1}));
}

struct PutCase {
    const char* what;
    void (*prepare)(FakeArray&);
    std::int32_t expected;  // message or platform code
    const char* asked;
};

const PutCase kPutCases[] = {
    {"three dimensions", [](FakeArray& a) { a.dims = 3; a.doubles = false; }, 1303, "d"},
    {"missing", [](FakeArray& a) { a.dims = 0; }, 1303, "d"},
    {"not doubles", [](FakeArray& a) { a.doubles = false; }, 1303, "db1b2t"},
    {"not doubles and empty", [](FakeArray& a) { a.doubles = false; a.upper[0] = -1; a.upper[1] = -1; }, 1303, "db1b2t"},
    {"no rows", [](FakeArray& a) { a.upper[0] = a.lower[0] - 1; }, 1301, "db1b2t"},
    {"no rows and no columns", [](FakeArray& a) { a.upper[0] = -1; a.upper[1] = -1; }, 1301, "db1b2t"},
    {"no columns", [](FakeArray& a) { a.upper[1] = -1; }, 1302, "db1b2t"},
    {"empty one dimension", [](FakeArray& a) { a.dims = 1; a.lower[0] = 1; a.upper[0] = 0; }, 1301, "db1t"},
    {"2³² rows", [](FakeArray& a) { a.lower[0] = INT32_MIN; a.upper[0] = INT32_MAX; }, 1301, "db1b2t"},
    {"2³¹ columns", [](FakeArray& a) { a.lower[1] = -1; a.upper[1] = INT32_MAX - 1; }, 1302, "db1b2t"},
    {"bounds fail", [](FakeArray& a) { a.boundsStatus = Status::Platform(static_cast<std::int32_t>(0x8002000Bu)); },
     static_cast<std::int32_t>(0x8002000Bu), "db1"},
    {"first read fails",
     [](FakeArray& a) { a.readsBeforeFailure = 0; a.readStatus = Status::Platform(static_cast<std::int32_t>(0x80070057u)); },
     static_cast<std::int32_t>(0x80070057u), "db1b2tr"},
    {"last read fails",
     [](FakeArray& a) { a.readsBeforeFailure = 3; a.readStatus = Status::Platform(static_cast<std::int32_t>(0x80070057u)); },
     static_cast<std::int32_t>(0x80070057u), "db1b2tr"},
};

TEST(AsArrayPut, FailuresInOrderChangeNothing) {
    Matrix m0 = Make({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    CMatrix c0;
    ASSERT_TRUE(c0.Size(2, 3).ok());
    c0.at(1, 2) = Complex{-0.0, 5};
    for (const PutCase& k : kPutCases) {
        for (int target = 0; target < 4; ++target) {
            FakeArray a = Array2({{1, 2}, {3, 4}});
            k.prepare(a);
            Status s;
            if (target == 0) {
                Matrix m;
                ASSERT_TRUE(m0.Clone(&m).ok());
                s = PutAsArray(m, &a);
                ExpectSameBits(m, m0);
            } else if (target == 3) {
                Matrix unsized;  // a put on an unsized matrix leaves it unsized on failure
                s = PutAsArray(unsized, &a);
                EXPECT_FALSE(unsized.sized());
            } else {
                CMatrix c;
                ASSERT_TRUE(c0.Clone(&c).ok());
                s = target == 1 ? PutAsArrayR(c, &a) : PutAsArrayI(c, &a);
                ASSERT_EQ(c.Rows(), 2);
                ASSERT_EQ(c.Cols(), 3);
                EXPECT_EQ(Bits(c.at(1, 2).Real), Bits(-0.0));
                EXPECT_EQ(c.at(1, 2).Imag, 5.0);
                EXPECT_EQ(c.at(0, 0), (Complex{0, 0}));
            }
            EXPECT_EQ(s.message() != 0 ? s.message() : s.code(), k.expected) << k.what << " target " << target;
            EXPECT_EQ(a.asked, k.asked) << k.what;
        }
    }
    Matrix m;
    ASSERT_TRUE(m0.Clone(&m).ok());
    EXPECT_EQ(PutAsArray(m, nullptr).message(), 1303);
    CMatrix c;
    EXPECT_EQ(PutAsArrayR(c, nullptr).message(), 1303);
    EXPECT_EQ(PutAsArrayI(c, nullptr).message(), 1303);
    ExpectSameBits(m, m0);
}

TEST(AsArrayPut, OutOfMemoryChangesNothing) {
    const Matrix m0 = Make({{1, 2}, {3, 4}});
    for (long allowed = 0; allowed < 3; ++allowed) {
        Matrix m;
        ASSERT_TRUE(m0.Clone(&m).ok());
        FakeArray a = Array2({{5, 6, 7}, {8, 9, 10}});
        FailAllocationsAfter(allowed);
        const Status s = PutAsArray(m, &a);
        FailAllocationsAfter(-1);
        EXPECT_EQ(s, Status::OutOfMemory());
        ExpectSameBits(m, m0);
    }
}

TEST(AsArrayRoundTrip, GetThenPutRestoresEveryShapeExactly) {
    std::mt19937_64 gen(31);
    const double specials[] = {-0.0, std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity(),
                               4.9e-324, 1.7976931348623157e308};
    for (std::int32_t rows = 1; rows <= 5; ++rows) {
        for (std::int32_t cols = 1; cols <= 5; ++cols) {
            Matrix m;
            ASSERT_TRUE(m.Size(rows, cols).ok());
            CMatrix c;
            ASSERT_TRUE(c.Size(rows, cols).ok());
            for (std::int32_t i = 0; i < rows; ++i)
                for (std::int32_t j = 0; j < cols; ++j) {
                    const std::uint64_t k = gen();
                    m.at(i, j) = k % 4 == 0 ? specials[k % 5] : test::FromBits(gen() >> 2);
                    c.at(i, j) = Complex{test::FromBits(gen() >> 1), k % 3 == 0 ? specials[k % 5] : -1.5 * i};
                }
            FakeSink sink;
            ASSERT_TRUE(AsArray(m, &sink).ok());
            FakeArray back = sink.AsSource();
            Matrix other;
            ASSERT_TRUE(other.Size(7, 2).ok());
            ASSERT_TRUE(PutAsArray(other, &back).ok());
            ExpectSameBits(other, m);

            FakeSink re, im;
            ASSERT_TRUE(AsArrayR(c, &re).ok());
            ASSERT_TRUE(AsArrayI(c, &im).ok());
            FakeArray reBack = re.AsSource(), imBack = im.AsSource();
            CMatrix d;
            ASSERT_TRUE(d.Size(2, 6).ok());
            d.at(0, 0) = Complex{7, 7};
            ASSERT_TRUE(PutAsArrayI(d, &imBack).ok());  // either order builds the matrix
            ASSERT_TRUE(PutAsArrayR(d, &reBack).ok());
            ASSERT_EQ(d.Rows(), rows);
            ASSERT_EQ(d.Cols(), cols);
            for (std::int32_t i = 0; i < rows; ++i)
                for (std::int32_t j = 0; j < cols; ++j) {
                    EXPECT_EQ(Bits(d.at(i, j).Real), Bits(c.at(i, j).Real));
                    EXPECT_EQ(Bits(d.at(i, j).Imag), Bits(c.at(i, j).Imag));
                }
        }
    }
}

}  // namespace
}  // namespace corvane
