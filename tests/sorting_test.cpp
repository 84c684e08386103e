#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "complex/complex.h"
#include "core/allocation.h"
#include "core/matrix.h"
#include "core/sorting.h"
#include "matrix_test_support.h"

namespace corvane {
namespace {

using test::Bits;
using test::Contents;
using test::ExpectSameBits;
using test::Make;
using CMatrix = BasicMatrix<Complex>;
using Rows = std::vector<std::vector<double>>;
using Entries = std::vector<std::int32_t>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

Entries ToVector(const Buffer<std::int32_t>& b) { return Entries(b.begin(), b.end()); }

Buffer<std::int32_t> ToBuffer(const Entries& v) {
    Buffer<std::int32_t> b;
    EXPECT_TRUE(b.Allocate(static_cast<std::int64_t>(v.size())));
    for (std::size_t k = 0; k < v.size(); ++k) b[static_cast<std::int64_t>(k)] = v[k];
    return b;
}

Matrix Clone(const Matrix& m) {
    Matrix c;
    EXPECT_TRUE(m.Clone(&c).ok());
    return c;
}

// A test double of the VARIANT a permutation index comes in. It records what
// it was asked, and can fail its platform calls.
struct FakeIndex final : PermIndexArgument {
    std::uint16_t type = kVarTypeArray | kVarTypeI4;
    bool nullArray = false;
    std::int32_t dims = 1;
    std::int32_t lower = 0;
    Entries values;
    Status boundsStatus = Status::Ok();
    Status readStatus = Status::Ok();
    mutable std::string asked;

    explicit FakeIndex(Entries v) : values(std::move(v)) {}
    std::uint16_t VarType() const override {
        asked += "t";
        return type;
    }
    bool ArrayIsNull() const override {
        asked += "n";
        return nullArray;
    }
    std::int32_t Dimensions() const override {
        asked += "d";
        return dims;
    }
    Status Bounds(std::int32_t* lo, std::int32_t* hi) const override {
        asked += "b";
        if (!boundsStatus) return boundsStatus;
        *lo = lower;
        *hi = lower + static_cast<std::int32_t>(values.size()) - 1;
        return Status::Ok();
    }
    Status ReadEntries(std::int32_t* entries, std::int32_t count) const override {
        asked += "r";
        if (!readStatus) return readStatus;
        EXPECT_EQ(static_cast<std::size_t>(count), values.size());
        for (std::int32_t k = 0; k < count; ++k) entries[k] = values[static_cast<std::size_t>(k)];
        return Status::Ok();
    }
};

// ---- The worked examples ----------------------------------------------------

TEST(SortRows, AscendingAndDescendingGiveTheSameIndex) {
    const Matrix unsorted = Make({{3}, {1}, {2}});
    Matrix m = Clone(unsorted);
    Buffer<std::int32_t> perm;
    ASSERT_TRUE(SortRows(m, 0, msoAscending, &perm).ok());
    EXPECT_EQ(Contents(m), (Rows{{1}, {2}, {3}}));
    EXPECT_EQ(ToVector(perm), (Entries{2, 0, 1}));
    Matrix again = Clone(unsorted);
    ASSERT_TRUE(ReorderRows(again, perm).ok());
    ExpectSameBits(again, m);

    for (std::int32_t order : {1, 7, -1}) {  // anything but 0 is descending
        m = Clone(unsorted);
        ASSERT_TRUE(SortRows(m, 0, order, &perm).ok());
        EXPECT_EQ(Contents(m), (Rows{{3}, {2}, {1}})) << order;
        EXPECT_EQ(ToVector(perm), (Entries{2, 0, 1})) << order;
    }
}

TEST(SortCols, SortsTheColumnsByOneRow) {
    Matrix m = Make({{3, 1, 2}, {30, 10, 20}});
    Buffer<std::int32_t> perm;
    ASSERT_TRUE(SortCols(m, 0, msoAscending, &perm).ok());
    EXPECT_EQ(Contents(m), (Rows{{1, 2, 3}, {10, 20, 30}}));
    EXPECT_EQ(ToVector(perm), (Entries{2, 0, 1}));
    m = Make({{5, 6, 7}, {3, 1, 2}});
    ASSERT_TRUE(SortCols(m, 1, msoDescending, &perm).ok());
    EXPECT_EQ(Contents(m), (Rows{{5, 7, 6}, {3, 2, 1}}));
    EXPECT_EQ(ToVector(perm), (Entries{2, 0, 1}));
}

TEST(SortRows, ComplexKeysAreModuli) {
    CMatrix c;
    ASSERT_TRUE(c.Size(3, 2).ok());
    c.at(0, 0) = {3, 4};
    c.at(1, 0) = {0, 1};
    c.at(2, 0) = {-2, 0};
    c.at(0, 1) = {0, 100};  // other columns do not count
    Buffer<std::int32_t> perm;
    ASSERT_TRUE(SortRows(c, 0, msoAscending, &perm).ok());
    EXPECT_EQ(c.at(0, 0), (Complex{0, 1}));
    EXPECT_EQ(c.at(1, 0), (Complex{-2, 0}));
    EXPECT_EQ(c.at(2, 0), (Complex{3, 4}));
    EXPECT_EQ(c.at(2, 1), (Complex{0, 100}));
    EXPECT_EQ(ToVector(perm), (Entries{2, 0, 1}));
    ASSERT_TRUE(SortCols(c, 2, msoDescending, &perm).ok());
    EXPECT_EQ(c.at(2, 0), (Complex{0, 100}));
    EXPECT_EQ(c.at(2, 1), (Complex{3, 4}));
    EXPECT_EQ(ToVector(perm), (Entries{0, 1}));
}

TEST(SortRows, IndexesAreCheckedAfterTheSizedTest) {
    Matrix unsized;
    Buffer<std::int32_t> perm;
    ASSERT_TRUE(perm.Allocate(1));
    perm[0] = 77;
    EXPECT_EQ(SortRows(unsized, -5, 0, &perm).message(), 1321);
    EXPECT_EQ(SortCols(unsized, -5, 0, &perm).message(), 1321);
    const Buffer<std::int32_t> entries = ToBuffer({0});
    EXPECT_EQ(ReorderRows(unsized, entries).message(), 1321);
    EXPECT_EQ(ReorderCols(unsized, entries).message(), 1321);
    EXPECT_EQ(ReorderRows(unsized, static_cast<const PermIndexArgument*>(nullptr)).message(), 1321);
    FakeIndex wrong({0});
    wrong.type = 5;
    EXPECT_EQ(ReorderCols(unsized, &wrong).message(), 1321);
    EXPECT_EQ(wrong.asked, "");

    const Matrix original = Make({{4, 3, 2}, {1, 0, -1}});
    Matrix m = Clone(original);
    EXPECT_EQ(SortRows(m, 3, 0, &perm).message(), 1320);
    EXPECT_EQ(SortRows(m, -1, 0, &perm).message(), 1320);
    EXPECT_EQ(SortCols(m, 2, 0, &perm).message(), 1319);
    EXPECT_EQ(SortCols(m, -1, 0, &perm).message(), 1319);
    CMatrix c;
    ASSERT_TRUE(c.Size(1, 1).ok());
    EXPECT_EQ(SortRows(c, 1, 0, &perm).message(), 1320);
    EXPECT_EQ(SortCols(c, 1, 0, &perm).message(), 1319);
    ExpectSameBits(m, original);
    ASSERT_EQ(perm.size(), 1);
    EXPECT_EQ(perm[0], 77);
    ASSERT_TRUE(SortRows(m, 2, 0, nullptr).ok());  // the index is optional
    EXPECT_EQ(Contents(m), (Rows{{1, 0, -1}, {4, 3, 2}}));
}

// ---- Reordering -------------------------------------------------------------

TEST(ReorderRows, EntriesNeedNotFormAPermutation) {
    const Matrix abc = Make({{1, 1}, {2, 2}, {3, 3}});  // rows a / b / c
    Matrix m = Clone(abc);
    ASSERT_TRUE(ReorderRows(m, ToBuffer({1, 0, 2})).ok());
    EXPECT_EQ(Contents(m), (Rows{{2, 2}, {1, 1}, {3, 3}}));
    m = Clone(abc);
    ASSERT_TRUE(ReorderRows(m, ToBuffer({0, 0, 5})).ok());  // b / b / c
    EXPECT_EQ(Contents(m), (Rows{{2, 2}, {2, 2}, {3, 3}}));
    m = Clone(abc);
    ASSERT_TRUE(ReorderRows(m, ToBuffer({-1, 2, 1})).ok());  // a dropped, b and c exchanged
    EXPECT_EQ(Contents(m), (Rows{{1, 1}, {3, 3}, {2, 2}}));
    m = Clone(abc);
    ASSERT_TRUE(ReorderRows(m, ToBuffer({2, 2, 2})).ok());  // the later entry wins
    EXPECT_EQ(Contents(m), (Rows{{1, 1}, {2, 2}, {3, 3}}));
    m = Clone(abc);
    ASSERT_TRUE(ReorderRows(m, ToBuffer({INT32_MIN, INT32_MAX, 3})).ok());
    EXPECT_EQ(Contents(m), (Rows{{1, 1}, {2, 2}, {3, 3}}));
    m = Clone(abc);
    EXPECT_EQ(ReorderRows(m, ToBuffer({0, 1})).message(), 1304);
    EXPECT_EQ(ReorderRows(m, ToBuffer({0, 1, 2, 3})).message(), 1304);
    ExpectSameBits(m, abc);
}

TEST(ReorderCols, MirrorsReorderRows) {
    const Matrix m0 = Make({{1, 2, 3}, {4, 5, 6}});
    Matrix m = Clone(m0);
    EXPECT_EQ(ReorderCols(m, ToBuffer({0, 1})).message(), 1304);  // needs exactly Cols entries
    ExpectSameBits(m, m0);
    ASSERT_TRUE(ReorderCols(m, ToBuffer({0, 0, 5})).ok());
    EXPECT_EQ(Contents(m), (Rows{{2, 2, 3}, {5, 5, 6}}));
    m = Clone(m0);
    ASSERT_TRUE(ReorderCols(m, ToBuffer({2, 0, 1})).ok());
    EXPECT_EQ(Contents(m), (Rows{{2, 3, 1}, {5, 6, 4}}));
    CMatrix c;
    ASSERT_TRUE(c.Size(1, 2).ok());
    c.at(0, 0) = {1, -1};
    c.at(0, 1) = {2, -2};
    ASSERT_TRUE(ReorderCols(c, ToBuffer({1, 0})).ok());
    EXPECT_EQ(c.at(0, 0), (Complex{2, -2}));
    EXPECT_EQ(c.at(0, 1), (Complex{1, -1}));
}

TEST(ReorderRows, ValuesMoveBitForBit) {
    Matrix m = Make({{1, 0}, {2, 0}});
    m.at(0, 1) = -0.0;
    m.at(1, 1) = test::FromBits(0x7FF0000000000001u);  // a signalling NaN
    const Matrix before = Clone(m);
    ASSERT_TRUE(ReorderRows(m, ToBuffer({1, 0})).ok());
    EXPECT_EQ(Bits(m.at(1, 1)), Bits(-0.0));
    EXPECT_EQ(Bits(m.at(0, 1)), 0x7FF0000000000001u);
    ASSERT_TRUE(ReorderCols(m, ToBuffer({1, 0})).ok());
    EXPECT_EQ(Bits(m.at(0, 0)), 0x7FF0000000000001u);
    Buffer<std::int32_t> perm;
    ASSERT_TRUE(SortCols(m, 1, msoDescending, &perm).ok());
    ASSERT_TRUE(SortRows(m, 0, msoAscending, &perm).ok());
    EXPECT_EQ(Bits(m.at(0, 1)), Bits(-0.0));
    EXPECT_EQ(Bits(m.at(1, 1)), 0x7FF0000000000001u);
}

// ---- The permutation index argument -------------------------------------

struct IndexCase {
    const char* what;
    void (*prepare)(FakeIndex&);
    std::int32_t message;  // 0: accepted
    const char* asked;     // queries made, in order
};

const IndexCase kIndexCases[] = {
    {"direct", [](FakeIndex&) {}, 0, "tndbr"},
    {"by reference", [](FakeIndex& f) { f.type = kVarTypeArray | kVarTypeI4 | kVarTypeByRef; }, 0, "tndbr"},
    {"doubles", [](FakeIndex& f) { f.type = kVarTypeArray | 5; }, 1303, "t"},
    {"16-bit integers", [](FakeIndex& f) { f.type = kVarTypeArray | 2; }, 1303, "t"},
    {"a lone integer", [](FakeIndex& f) { f.type = kVarTypeI4; }, 1303, "t"},
    {"integer by reference", [](FakeIndex& f) { f.type = kVarTypeI4 | kVarTypeByRef; }, 1303, "t"},
    {"missing argument", [](FakeIndex& f) { f.type = 10; }, 1303, "t"},
    {"empty", [](FakeIndex& f) { f.type = 0; }, 1303, "t"},
    {"variants", [](FakeIndex& f) { f.type = kVarTypeArray | 12; }, 1303, "t"},
    {"wrong type and null array", [](FakeIndex& f) { f.type = kVarTypeArray | 5; f.nullArray = true; }, 1303, "t"},
    {"null array", [](FakeIndex& f) { f.nullArray = true; }, 1304, "tn"},
    {"null array by reference",
     [](FakeIndex& f) { f.type |= kVarTypeByRef; f.nullArray = true; f.dims = 0; }, 1304, "tn"},
    {"two dimensions", [](FakeIndex& f) { f.dims = 2; }, 1304, "tnd"},
    {"no dimensions", [](FakeIndex& f) { f.dims = 0; }, 1304, "tnd"},
    {"one-based", [](FakeIndex& f) { f.lower = 1; }, 1304, "tndb"},
    {"negative lower bound", [](FakeIndex& f) { f.lower = -1; }, 1304, "tndb"},
    {"too few", [](FakeIndex& f) { f.values.pop_back(); }, 1304, "tndb"},
    {"too many", [](FakeIndex& f) { f.values.push_back(0); }, 1304, "tndb"},
    {"bounds fail", [](FakeIndex& f) { f.boundsStatus = Status::Platform(static_cast<std::int32_t>(0x8002000Bu)); },
     static_cast<std::int32_t>(0x8002000Bu), "tndb"},
    {"read fails", [](FakeIndex& f) { f.readStatus = Status::OutOfMemory(); }, kOutOfMemoryCode, "tndbr"},
};

TEST(ReorderRows, PermutationIndexChecksInOrder) {
    for (const IndexCase& k : kIndexCases) {
        for (bool rows : {true, false}) {
            Matrix m = rows ? Make({{1}, {2}, {3}}) : Make({{1, 2, 3}});
            Matrix before = Clone(m);
            FakeIndex f({1, 2, 0});
            k.prepare(f);
            const Status s = rows ? ReorderRows(m, &f) : ReorderCols(m, &f);
            if (k.message == 0) {
                EXPECT_TRUE(s.ok()) << k.what;
                EXPECT_EQ(Contents(m), rows ? (Rows{{3}, {1}, {2}}) : (Rows{{3, 1, 2}})) << k.what;
            } else {
                EXPECT_EQ(s.message() != 0 ? s.message() : s.code(), k.message) << k.what;
                ExpectSameBits(m, before);
            }
            EXPECT_EQ(f.asked, k.asked) << k.what;
        }
    }
    const Matrix m0 = Make({{1}, {2}, {3}});
    Matrix m = Clone(m0);
    EXPECT_EQ(ReorderRows(m, static_cast<const PermIndexArgument*>(nullptr)).message(), 1304);
    EXPECT_EQ(ReorderCols(m, static_cast<const PermIndexArgument*>(nullptr)).message(), 1304);
    ExpectSameBits(m, m0);
}

}  // namespace
}  // namespace corvane
