// The matrix product on every instruction set this processor has gives the
// bits of the straightforward dot product, on shapes that cut every block
// and tile short; the set can be capped.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "core/instruction_set.h"
#include "core/product_choice.h"
#include "core/product_kernels.h"
#include "core/row_store.h"

namespace corvane {
namespace {

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
// ceiling; the widest is restored afterwards. (Storage failure on every set
// is part of the allocation sweep of the failure tests.)
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
        check();
    }
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
        RowStore<double> reference;
        ASSERT_TRUE(reference.Allocate(s[0], s[2]));
        MatrixProductDot(a.data(), b.data(), reference.data(), s[0], s[1], s[2]);
        OnEverySet([&] {
            RowStore<double> c;
            ASSERT_TRUE(c.Allocate(s[0], s[2]));
            ASSERT_TRUE(MatrixProduct(a.data(), b.data(), c.data(), s[0], s[1], s[2]));
            for (std::int32_t i = 0; i < s[0]; ++i)  // the same bits, row by row
                ASSERT_EQ(std::memcmp(c[i], reference[i], sizeof(double) * s[2]), 0) << "row " << i;
        });
    }
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
