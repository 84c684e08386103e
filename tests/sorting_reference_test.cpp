// Sorting checked against a rank count on inputs that defeat naive
// quicksorts, with NaN keys, signed zeros and infinities; and failures of
// memory leaving everything as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
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
using test::ExpectSameBits;
using CMatrix = BasicMatrix<Complex>;
using Keys = std::vector<double>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Position of each key in ascending order, counted directly: the keys before
// it (NaN after every number) plus the equal keys with a smaller index.
std::vector<std::int32_t> ReferencePositions(const Keys& keys) {
    const std::size_t n = keys.size();
    std::vector<std::int32_t> pos(n);
    for (std::size_t r = 0; r < n; ++r) {
        std::int32_t before = 0;
        for (std::size_t k = 0; k < n; ++k) {
            const bool kn = std::isnan(keys[k]), rn = std::isnan(keys[r]);
            const bool less = rn ? (!kn || k < r) : (!kn && (keys[k] < keys[r] || (keys[k] == keys[r] && k < r)));
            if (k != r && less) ++before;
        }
        pos[r] = before;
    }
    return pos;
}

struct Pattern {
    const char* name;
    std::function<double(std::int32_t k, std::int32_t n, std::mt19937_64& gen)> key;
};

const Pattern kPatterns[] = {
    {"sorted", [](std::int32_t k, std::int32_t, std::mt19937_64&) { return double(k); }},
    {"reversed", [](std::int32_t k, std::int32_t n, std::mt19937_64&) { return double(n - k); }},
    {"equal", [](std::int32_t, std::int32_t, std::mt19937_64&) { return 4.0; }},
    {"organ pipe", [](std::int32_t k, std::int32_t n, std::mt19937_64&) { return double(k < n / 2 ? k : n - k); }},
    {"sawtooth", [](std::int32_t k, std::int32_t, std::mt19937_64&) { return double(k % 7); }},
    {"few values", [](std::int32_t, std::int32_t, std::mt19937_64& g) { return double(g() % 3) - 1.0; }},
    {"random", [](std::int32_t, std::int32_t, std::mt19937_64& g) { return double(g() % 1000000) * 1e-3; }},
    {"every third NaN",
     [](std::int32_t k, std::int32_t, std::mt19937_64& g) { return k % 3 == 0 ? kNaN : double(g() % 50); }},
    {"all NaN", [](std::int32_t, std::int32_t, std::mt19937_64&) { return kNaN; }},
    {"NaN at the ends",
     [](std::int32_t k, std::int32_t n, std::mt19937_64&) { return k == 0 || k == n - 1 ? kNaN : double(-k); }},
    {"zeros and infinities",
     [](std::int32_t k, std::int32_t, std::mt19937_64&) {
         const double v[] = {0.0, -0.0, kInf, -kInf, kNaN, 1e-310, -1e308};
         return v[k % 7];
     }},
};

// Column 0 holds the keys, column 1 the old row number: every row can be
// traced after the sort.
Matrix KeyedRows(const Keys& keys) {
    Matrix m;
    EXPECT_TRUE(m.Size(static_cast<std::int32_t>(keys.size()), 2).ok());
    for (std::int32_t r = 0; r < m.Rows(); ++r) {
        m.at(r, 0) = keys[static_cast<std::size_t>(r)];
        m.at(r, 1) = r;
    }
    return m;
}

TEST(SortReference, RowsAndColumnsAgreeWithTheRankCount) {
    std::mt19937_64 gen(2024);
    for (const Pattern& p : kPatterns) {
        for (std::int32_t n : {1, 2, 3, 16, 17, 100, 777}) {
            Keys keys(static_cast<std::size_t>(n));
            for (std::int32_t k = 0; k < n; ++k) keys[static_cast<std::size_t>(k)] = p.key(k, n, gen);
            const std::vector<std::int32_t> pos = ReferencePositions(keys);
            for (std::int32_t order : {0, 1}) {
                const std::string where = std::string(p.name) + " n=" + std::to_string(n) + " order=" + std::to_string(order);
                const Matrix original = KeyedRows(keys);
                Matrix m;
                ASSERT_TRUE(original.Clone(&m).ok());
                Buffer<std::int32_t> perm;
                ASSERT_TRUE(SortRows(m, 0, order, &perm).ok()) << where;
                ASSERT_EQ(perm.size(), n);
                for (std::int32_t r = 0; r < n; ++r) {
                    ASSERT_EQ(perm[r], pos[static_cast<std::size_t>(r)]) << where << " r=" << r;
                    const std::int32_t at = order == 0 ? pos[static_cast<std::size_t>(r)] : n - 1 - pos[static_cast<std::size_t>(r)];
                    ASSERT_EQ(m.at(at, 1), r) << where;
                    ASSERT_EQ(Bits(m.at(at, 0)), Bits(keys[static_cast<std::size_t>(r)])) << where;
                }
                // The index rearranges a copy of the unsorted matrix into ascending order.
                Matrix ascending;
                ASSERT_TRUE(original.Clone(&ascending).ok());
                ASSERT_TRUE(ReorderRows(ascending, perm).ok());
                for (std::int32_t r = 0; r < n; ++r)
                    ASSERT_EQ(ascending.at(pos[static_cast<std::size_t>(r)], 1), r) << where;

                // The same keys along a row.
                Matrix wide;
                ASSERT_TRUE(wide.Size(2, n).ok());
                for (std::int32_t j = 0; j < n; ++j) {
                    wide.at(1, j) = keys[static_cast<std::size_t>(j)];
                    wide.at(0, j) = j;
                }
                ASSERT_TRUE(SortCols(wide, 1, order, &perm).ok()) << where;
                for (std::int32_t j = 0; j < n; ++j) {
                    ASSERT_EQ(perm[j], pos[static_cast<std::size_t>(j)]) << where;
                    const std::int32_t at = order == 0 ? pos[static_cast<std::size_t>(j)] : n - 1 - pos[static_cast<std::size_t>(j)];
                    ASSERT_EQ(wide.at(0, at), j) << where;
                }
            }
        }
    }
}

TEST(SortReference, ComplexRowsByModulus) {
    std::mt19937_64 gen(99);
    std::uniform_int_distribution<int> part(-4, 4);
    for (int trial = 0; trial < 20; ++trial) {
        const std::int32_t n = 1 + trial * 13;
        CMatrix c;
        ASSERT_TRUE(c.Size(n, 2).ok());
        Keys keys(static_cast<std::size_t>(n));
        for (std::int32_t r = 0; r < n; ++r) {
            // Small integer parts: many equal moduli, and some NaN parts.
            c.at(r, 0) = Complex{trial % 4 == 0 && r % 5 == 0 ? kNaN : double(part(gen)), double(part(gen))};
            c.at(r, 1) = Complex{double(r), 0};
            keys[static_cast<std::size_t>(r)] = Modulus(c.at(r, 0));
        }
        const std::vector<std::int32_t> pos = ReferencePositions(keys);
        Buffer<std::int32_t> perm;
        ASSERT_TRUE(SortRows(c, 0, trial % 2, &perm).ok());
        for (std::int32_t r = 0; r < n; ++r) {
            ASSERT_EQ(perm[r], pos[static_cast<std::size_t>(r)]);
            const std::int32_t at = trial % 2 == 0 ? pos[static_cast<std::size_t>(r)] : n - 1 - pos[static_cast<std::size_t>(r)];
            ASSERT_EQ(c.at(at, 1).Real, r);
        }
    }
}

// Large inputs that make a plain quicksort quadratic or recurse n deep: the
// result is ordered and the index a permutation.
TEST(SortReference, LargeAdversarialInputsFinishOrdered) {
    constexpr std::int32_t n = 200000;
    std::mt19937_64 gen(7);
    for (const Pattern& p : kPatterns) {
        Matrix m;
        ASSERT_TRUE(m.Size(n, 1).ok());
        for (std::int32_t k = 0; k < n; ++k) m.at(k, 0) = p.key(k, n, gen);
        Buffer<std::int32_t> perm;
        ASSERT_TRUE(SortRows(m, 0, msoAscending, &perm).ok()) << p.name;
        std::vector<char> seen(n, 0);
        for (std::int32_t k = 0; k < n; ++k) {
            ASSERT_TRUE(perm[k] >= 0 && perm[k] < n && !seen[static_cast<std::size_t>(perm[k])]) << p.name;
            seen[static_cast<std::size_t>(perm[k])] = 1;
        }
        for (std::int32_t k = 1; k < n; ++k) {
            const double a = m.at(k - 1, 0), b = m.at(k, 0);
            ASSERT_TRUE(std::isnan(b) || (!std::isnan(a) && a <= b)) << p.name << " at " << k;
        }
    }
}

TEST(SortReference, MemoryFailuresChangeNothing) {
    Matrix original;
    ASSERT_TRUE(original.Size(5, 4).ok());
    for (std::int32_t i = 0; i < 5; ++i)
        for (std::int32_t j = 0; j < 4; ++j) original.at(i, j) = (i * 7 + j * 3) % 5 - i;
    Buffer<std::int32_t> entries;
    ASSERT_TRUE(entries.Allocate(5));
    for (std::int32_t k = 0; k < 5; ++k) entries[k] = 4 - k;
    Buffer<std::int32_t> colEntries;
    ASSERT_TRUE(colEntries.Allocate(4));
    for (std::int32_t k = 0; k < 4; ++k) colEntries[k] = (k + 1) % 4;

    using Op = std::function<Status(Matrix&, Buffer<std::int32_t>*)>;
    const Op ops[] = {
        [](Matrix& m, Buffer<std::int32_t>* p) { return SortRows(m, 1, 0, p); },
        [](Matrix& m, Buffer<std::int32_t>* p) { return SortCols(m, 2, 1, p); },
        [&](Matrix& m, Buffer<std::int32_t>*) { return ReorderRows(m, entries); },
        [&](Matrix& m, Buffer<std::int32_t>*) { return ReorderCols(m, colEntries); },
    };
    for (const Op& op : ops) {
        bool succeeded = false;
        for (long allowed = 0; allowed < 20 && !succeeded; ++allowed) {
            Matrix m;
            ASSERT_TRUE(original.Clone(&m).ok());
            Buffer<std::int32_t> perm;
            ASSERT_TRUE(perm.Allocate(1));
            perm[0] = -9;
            FailAllocationsAfter(allowed);
            const Status s = op(m, &perm);
            FailAllocationsAfter(-1);
            if (s.ok()) {
                succeeded = true;
                continue;
            }
            EXPECT_EQ(s, Status::OutOfMemory());
            ExpectSameBits(m, original);
            ASSERT_EQ(perm.size(), 1);
            EXPECT_EQ(perm[0], -9);
        }
        EXPECT_TRUE(succeeded);
    }
}

}  // namespace
}  // namespace corvane
