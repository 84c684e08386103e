// The matrix product on every instruction set this processor has gives the
// bits of the straightforward dot product, on shapes that cut every block
// and tile short; storage failure is a value; the set can be capped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "core/allocation.h"
#include "core/arithmetic.h"
#include "core/instruction_set.h"
#include "core/product_choice.h"
#include "core/product_kernels.h"
#include "core/row_store.h"

namespace corvane {
namespace {

// The same bits, except that any two NaNs match: which NaN operand an
// operation passes on is the compiler's choice.
std::uint64_t Key(double x) {
    if (std::isnan(x)) return 0x7ff8000000000000u;
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// Values of widely spread magnitudes: any change in the order of a sum's
// additions shows in its last bits.
RowStore<double> Random(std::mt19937_64& rng, std::int32_t rows, std::int32_t cols) {
    RowStore<double> s;
    EXPECT_TRUE(s.Allocate(rows, cols));
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-20, 20);
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) s[i][j] = std::ldexp(unit(rng), exponent(rng));
    return s;
}

// Runs `check` once with each instruction set the processor has as the
// ceiling; the widest is restored afterwards.
struct SetRestorer {
    ~SetRestorer() { ForceInstructionSet(InstructionSet::kAvx512); }
};
template <class Check>
void OnEverySet(Check check) {
    SetRestorer restore;
    for (int s = 0; s <= static_cast<int>(DetectedInstructionSet()); ++s) {
        const auto set = static_cast<InstructionSet>(s);
        ASSERT_EQ(ForceInstructionSet(set), set);
        SCOPED_TRACE(InstructionSetName(set));
        check(set);
    }
}

// Compares c with the reference and reports the first difference.
void ExpectSameKeys(const RowStore<double>& c, const RowStore<double>& reference, std::int32_t m, std::int32_t q) {
    for (std::int32_t i = 0; i < m; ++i)
        for (std::int32_t j = 0; j < q; ++j)
            if (Key(c[i][j]) != Key(reference[i][j])) {
                ADD_FAILURE() << "element (" << i << ", " << j << "): " << c[i][j] << " instead of " << reference[i][j];
                return;
            }
}

void ExpectDotProductBits(const RowStore<double>& a, const RowStore<double>& b, std::int32_t m, std::int32_t p,
                          std::int32_t q) {
    RowStore<double> reference;
    ASSERT_TRUE(reference.Allocate(m, q));
    MatrixProductDot(a.data(), b.data(), reference.data(), m, p, q);
    OnEverySet([&](InstructionSet) {
        RowStore<double> c;
        ASSERT_TRUE(c.Allocate(m, q));
        ASSERT_TRUE(MatrixProduct(a.data(), b.data(), c.data(), m, p, q));
        ExpectSameKeys(c, reference, m, q);
    });
}

TEST(ProductKernels, EverySetGivesTheDotProductsBits) {
    std::mt19937_64 rng(2024);
    const std::int32_t shapes[][3] = {
        {1, 1, 1},    {2, 3, 4},     {1, 300, 500}, {500, 300, 1},  {300, 1, 200},
        {37, 29, 41}, {8, 256, 24},  {9, 257, 25},  {4, 9, 1000},   {194, 260, 2890},  // two blocks each way
    };
    for (const auto& s : shapes) {
        SCOPED_TRACE(testing::Message() << s[0] << " x " << s[1] << " x " << s[2]);
        const RowStore<double> a = Random(rng, s[0], s[1]), b = Random(rng, s[1], s[2]);
        ExpectDotProductBits(a, b, s[0], s[1], s[2]);
    }
}

TEST(ProductKernels, SpecialValuesLandInTheSamePlaces) {
    std::mt19937_64 rng(77);
    const double inf = std::numeric_limits<double>::infinity();
    const double specials[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, -0.0, 0.0,
                               std::numeric_limits<double>::denorm_min(), 1e308, -1e308};
    const std::int32_t m = 45, p = 70, q = 530;
    RowStore<double> a = Random(rng, m, p), b = Random(rng, p, q);
    for (int k = 0; k < 40; ++k) {
        const double v = specials[k % 8];
        if (k % 2 == 0) a[rng() % m][rng() % p] = v;
        else b[rng() % p][rng() % q] = v;
    }
    for (std::int32_t j = 0; j < p; ++j) a[5][j] = -0.0;  // every product −0: the sum stays +0
    ExpectDotProductBits(a, b, m, p, q);
}

// Every allocation of Times may fail, the packing storage included: each
// failure is out-of-memory and leaves the result as it was.
TEST(ProductKernels, EveryAllocationFailureIsOutOfMemoryAndChangesNothing) {
    std::mt19937_64 rng(5);
    Matrix a;
    ASSERT_TRUE(a.Size(40, 40).ok());
    for (std::int32_t i = 0; i < 40; ++i)
        for (std::int32_t j = 0; j < 40; ++j) a.at(i, j) = std::ldexp(1.0, static_cast<int>(rng() % 9));
    long needed[3] = {};
    OnEverySet([&](InstructionSet set) {
        long k = 0;
        for (;; ++k) {
            Matrix r;
            ASSERT_TRUE(r.Size(1, 1).ok());
            r.at(0, 0) = 99.0;
            FailAllocationsAfter(k);
            const Status s = Times(a, &a, &r);
            FailAllocationsAfter(-1);
            if (s.ok()) break;
            ASSERT_EQ(s.code(), Status::OutOfMemory().code()) << "failing allocation " << k;
            ASSERT_TRUE(r.Rows() == 1 && r.Cols() == 1 && r.at(0, 0) == 99.0);
        }
        needed[static_cast<int>(set)] = k;
    });
    // The packed paths take storage beyond the result's and fail cleanly without it.
    for (int s = 1; s <= static_cast<int>(DetectedInstructionSet()); ++s) EXPECT_GT(needed[s], needed[0]);
}

TEST(ProductKernels, TheSetCanBeCappedButNotRaised) {
    SetRestorer restore;
    const InstructionSet detected = DetectedInstructionSet();
    EXPECT_EQ(ForceInstructionSet(InstructionSet::kSse2), InstructionSet::kSse2);
    EXPECT_EQ(ActiveInstructionSet(), InstructionSet::kSse2);
    EXPECT_EQ(ForceInstructionSet(InstructionSet::kAvx512), detected);
    EXPECT_EQ(ActiveInstructionSet(), detected);
    for (const InstructionSet set : {InstructionSet::kSse2, InstructionSet::kAvx2, InstructionSet::kAvx512}) {
        InstructionSet parsed = InstructionSet::kSse2;
        EXPECT_TRUE(ParseInstructionSet(InstructionSetName(set), &parsed));
        EXPECT_EQ(parsed, set);
    }
    InstructionSet untouched = InstructionSet::kAvx2;
    EXPECT_FALSE(ParseInstructionSet("avx", &untouched));
    EXPECT_FALSE(ParseInstructionSet(nullptr, &untouched));
    EXPECT_EQ(untouched, InstructionSet::kAvx2);
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // The compiler's own test (cpuid and the saved register state) agrees.
    __builtin_cpu_init();
    EXPECT_EQ(detected >= InstructionSet::kAvx2, __builtin_cpu_supports("avx2") != 0);
    EXPECT_EQ(detected >= InstructionSet::kAvx512, __builtin_cpu_supports("avx512f") != 0);
#endif
}

}  // namespace
}  // namespace corvane
