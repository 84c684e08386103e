// The matrix object of either element type: sizing, elements, whole-matrix
// operations, arithmetic against a reference, comparisons and sorting.
#include "core/instruction_set.h"
#include "support.h"

namespace corvane::support {
namespace {

template <class T> class Object : public ::testing::Test {};
using ElementTypes = ::testing::Types<double, Complex>;
TYPED_TEST_SUITE(Object, ElementTypes);

TYPED_TEST(Object, SizingResizingAndCountsGivenAlone) {
    BasicMatrix<TypeParam> m;
    EXPECT_EQ(m.MaxSize(), 2147483647);
    ASSERT_TRUE(m.PutRows(3).ok());
    EXPECT_TRUE(SameBits(ToDense(m), Dense<TypeParam>(3, 0)));  // remembered, still unsized
    ASSERT_TRUE(m.PutCols(2).ok());
    EXPECT_TRUE(SameBits(m, Make<TypeParam>({{0, 0}, {0, 0}, {0, 0}})));
    m = Make<TypeParam>({{1, 2, 3}, {4, 5, 6}});
    ASSERT_TRUE(m.PutRows(4).ok());
    EXPECT_TRUE(SameBits(m, Make<TypeParam>({{1, 2, 3}, {4, 5, 6}, {0, 0, 0}, {0, 0, 0}})));
    ASSERT_TRUE(m.PutCols(2).ok() && m.Size(1, 2).ok());  // shrinking keeps the common block
    EXPECT_TRUE(SameBits(m, Make<TypeParam>({{1, 2}})));
}

TYPED_TEST(Object, ElementsAndWholeMatrixOperations) {
    using T = TypeParam;
    BasicMatrix<T> m = Make<T>({{1, 2, 3}, {4, 5, 6}}), v;
    const T odd = Narrow<T>(Cx(-0.0, kNaN));  // stored bit for bit
    ASSERT_TRUE(m.PutItem(1, 2, odd).ok());
    T got{};
    ASSERT_TRUE(m.Item(1, 2, &got).ok());
    EXPECT_TRUE(SameBits(got, odd));
    ASSERT_TRUE(m.PutItem(1, 2, Narrow<T>(6)).ok());
    BasicMatrix<T> clone = Copy(m);
    ASSERT_TRUE(m.SwapCols(0, 2).ok() && m.SwapRows(0, 1).ok() && m.SwapRows(1, 1).ok() && m.SwapCols(1, 1).ok());
    EXPECT_TRUE(SameBits(m, Make<T>({{6, 5, 4}, {3, 2, 1}})));
    EXPECT_TRUE(SameBits(clone, Make<T>({{1, 2, 3}, {4, 5, 6}})));  // independent of the original
    ASSERT_TRUE(m.ColVector(1, &v).ok());
    EXPECT_TRUE(SameBits(v, Make<T>({{5}, {2}})));
    ASSERT_TRUE(m.RowVector(1, &v).ok());
    EXPECT_TRUE(SameBits(v, Make<T>({{3, 2, 1}})));
    bool square = true;
    ASSERT_TRUE(m.IsSquare(&square).ok());
    EXPECT_FALSE(square);
    ASSERT_TRUE(v.Size(1, 1).ok() && v.IsSquare(&square).ok());
    EXPECT_TRUE(square);
    ASSERT_TRUE(m.PutItem(0, 0, odd).ok() && m.Clear().ok());
    EXPECT_TRUE(SameBits(m, Make<T>({{0, 0, 0}, {0, 0, 0}})));  // +0.0 everywhere
    BasicMatrix<T> unsized;
    ASSERT_TRUE(unsized.PutCols(2).ok() && unsized.Clone(&clone).ok());
    EXPECT_TRUE(SameBits(ToDense(clone), Dense<T>()));  // a lone count is not carried over
}

// Products of many shapes on every product kernel, bit for bit against a
// reference (sums in increasing k from +0.0). The bits of the element-wise
// operations and transposes are pinned by the result digest.
TYPED_TEST(Object, ProductsMatchTheReferenceOnEveryKernel) {
    using T = TypeParam;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    EXPECT_EQ(DetectedInstructionSet(), __builtin_cpu_supports("avx512f") ? InstructionSet::kAvx512  // as the compiler sees it
                                        : __builtin_cpu_supports("avx2")  ? InstructionSet::kAvx2
                                                                          : InstructionSet::kSse2);
#endif
    std::mt19937_64 rng(7);
    std::vector<std::pair<I, I>> shapes = {{3, 130}};  // beyond the product's blocks in depth and width
    Each(4, 4, [&](I i, I j) { shapes.emplace_back(i + 1, j + 1); });
    for (const auto& [m, n] : shapes) {
        const BasicMatrix<T> a = RandomMatrix<T>(rng, m, n), c = RandomMatrix<T>(rng, n, n > 4 ? 520 : 3);
        BasicMatrix<T> r;
        for (int set = 0; set <= static_cast<int>(DetectedInstructionSet()); ++set) {
            ForceInstructionSet(static_cast<InstructionSet>(set));
            ASSERT_TRUE(Times(a, &c, &r).ok());
            EXPECT_TRUE(SameBits(ToDense(r), Multiply(ToDense(a), ToDense(c)))) << InstructionSetName(static_cast<InstructionSet>(set));
        }
    }
}

TYPED_TEST(Object, ArithmeticWithItself) {
    using T = TypeParam;
    BasicMatrix<T> a = Make<T>({{1, 2.5}, {-3, 0.5}}), r;
    ASSERT_TRUE(Times(a, &a, &r).ok());
    EXPECT_TRUE(SameBits(ToDense(r), Multiply(ToDense(a), ToDense(a))));
    ASSERT_TRUE(a.PutItem(0, 1, Narrow<T>(kInf)).ok() && PlusEquals(a, &a).ok());
    EXPECT_TRUE(SameBits(a, Make<T>({{2, kInf}, {-6, 1}})));
    ASSERT_TRUE(MinusEquals(a, &a).ok());  // zeroes every finite element
    EXPECT_TRUE(std::isnan(Wide(ToDense(a)(0, 1)).real()));
    ASSERT_TRUE(a.PutItem(0, 1, T{}).ok());
    EXPECT_TRUE(SameBits(a, Make<T>({{0, 0}, {0, 0}})));
}

// Scaled by the reciprocal of the first element of largest magnitude, sign included.
TYPED_TEST(Object, NormalizeByTheFirstLargestElement) {
    using T = TypeParam;
    BasicMatrix<T> a = Make<T>({{1, -3}, {3, 2}}), r;
    Dense<T> scaled = ToDense(a);
    for (T& x : scaled.data) x = Narrow<T>(Wide(x) * (1 / -3.0));
    double n = 0;
    ASSERT_TRUE(Normalize(a, &n, &r).ok() && n == -3 && NormalizeMe(a, &n).ok() && n == -3);
    EXPECT_TRUE(SameBits(ToDense(r), scaled) && SameBits(ToDense(a), scaled));
    a = Make<T>({{0, -0.0}});
    ASSERT_TRUE(Normalize(a, &n, &r).ok() && n == 0 && NormalizeMe(a, &n).ok() && n == 0);
    EXPECT_TRUE(SameBits(r, Make<T>({{0, 0}})) && SameBits(a, Make<T>({{0, -0.0}})));
}

TYPED_TEST(Object, ToleranceComparisons) {
    using T = TypeParam;
    // clang-format off
    const std::tuple<BasicMatrix<T>, BasicMatrix<T>, double, bool> cases[] = {  // a, b, tolerance, equal
        {Make<T>({{1}}), Make<T>({{1.5}}), 0.5, true},  {Make<T>({{1}}), Make<T>({{1.6}}), 0.5, false},
        {Make<T>({{1, 1}}), Make<T>({{1, kNaN}}), 0.0, true},  {Make<T>({{1, 2}}), Make<T>({{1, 2}}), -1.0, false},
        {Make<T>({{1, 2}, {3, 4}}), Make<T>({{1, 2, 0}, {3, 4, 0}}), 1e9, false}, {Make<T>({{1, 9}}), Make<T>({{1, 2}}), 1.0, false},
    };
    for (const auto& [a, b, tolerance, expected] : cases) {
        bool equal = !expected;
        ASSERT_TRUE(IsEqualTo(a, &b, tolerance, &equal).ok());
        EXPECT_EQ(equal, expected) << ToDense(b).data.back() << " " << tolerance;
    }
    const std::pair<BasicMatrix<T>, bool> symmetry[] = {
        {Make<T>({{1, 2}, {2 + 1e-10, 1}}), true}, {Make<T>({{1, 2, 3}, {2, 1, 3}}), false}, {Make<T>({{kNaN}}), true},
        {Make<T>({{1, 2, 3}, {2, 1, 4}, {3, 4.1, 1}}), false}, {Make<T>({{0, 5, 3}, {5, 0, 4}, {3, 4, 7}}), true}};
    // clang-format on
    for (const auto& [a, expected] : symmetry) {
        bool symmetric = !expected;
        ASSERT_TRUE(IsSymmetric(a, 1e-9, &symmetric).ok());
        EXPECT_EQ(symmetric, expected);
    }
}

TYPED_TEST(Object, SortingAndReordering) {
    using T = TypeParam;
    Buffer<I> perm;
    const auto positions = [&] { return std::vector<I>(perm.begin(), perm.end()); };
    // Keys 3, 1, 2 with the rest of each row travelling along; any order but
    // 0 is descending, and the index always gives the ascending positions.
    for (I order : {0, 1, 7}) {
        BasicMatrix<T> m = Make<T>({{3, -0.0}, {1, kNaN}, {2, 5}}), copy = Copy(m);
        ASSERT_TRUE(SortRows(m, 0, order, &perm).ok() && ReorderRows(copy, perm).ok());
        EXPECT_EQ(positions(), (std::vector<I>{2, 0, 1}));
        EXPECT_TRUE(SameBits(m, order == 0 ? Make<T>({{1, kNaN}, {2, 5}, {3, -0.0}}) : Make<T>({{3, -0.0}, {2, 5}, {1, kNaN}})));
        EXPECT_TRUE(SameBits(copy, Make<T>({{1, kNaN}, {2, 5}, {3, -0.0}})));
    }
    // Equal keys keep their original order, NaN keys come last (the result
    // digest pins a longer sort with many of both).
    BasicMatrix<T> m = Make<T>({{2, kNaN, 1, 2, 1, 0.5}});
    ASSERT_TRUE(SortCols(m, 0, 0, &perm).ok());
    EXPECT_EQ(positions(), (std::vector<I>{3, 5, 1, 4, 2, 0}));
    EXPECT_TRUE(SameBits(m, Make<T>({{0.5, 1, 1, 2, 2, kNaN}})));
    // Entries need not form a permutation: old row 1 overwrites position 0,
    // old row 2 is dropped, position 2 keeps its row.
    FakeIndex index;
    index.entries = {0, 0, 5};
    m = Make<T>({{1, 10}, {2, 20}, {3, 30}});
    ASSERT_TRUE(ReorderRows(m, &index).ok());
    EXPECT_TRUE(SameBits(m, Make<T>({{2, 20}, {2, 20}, {3, 30}})));
    index.entries = {1, 0};
    index.type |= kVarTypeByRef;
    ASSERT_TRUE(ReorderCols(m, &index).ok());
    EXPECT_TRUE(SameBits(m, Make<T>({{20, 2}, {20, 2}, {30, 3}})));
}

TEST(ComplexObject, ComplexRulesDiffer) {
    using D = Dense<Complex>;
    const CMatrix a = ToMatrix(D{{{1, 2}, {3, 4}}}), i = ToMatrix(D{{{0, 1}}});
    CMatrix r;
    ASSERT_TRUE(Transpose(a, &r).ok());  // not conjugated
    EXPECT_TRUE(SameBits(ToDense(r), D{{{1, 2}}, {{3, 4}}}));
    ASSERT_TRUE(Times(i, &i, &r).ok() && TimesScalar(r, Complex{2, 3}, &r).ok());
    EXPECT_TRUE(SameBits(ToDense(r), D{{{-2, -3}}}));
    bool result = false;
    // The parts are compared separately, not by the modulus of the difference.
    const CMatrix b = ToMatrix(D{{{1, 1}}}), c = ToMatrix(D{{{1.5, 1.4}}});
    ASSERT_TRUE(IsEqualTo(b, &c, 0.45, &result).ok());
    EXPECT_FALSE(result);
    ASSERT_TRUE(IsEqualTo(b, &c, 0.5, &result).ok());
    EXPECT_TRUE(result);
    const std::pair<D, bool> symmetry[] = {{D{{{1, 0}, {2, 5}}, {{2, -5}, {1, 0}}}, false},  // Hermitian is not symmetric
                                           {D{{{1, 0}, {2, 5}}, {{2, 5}, {1, 0}}}, true},
                                           {D{{{0, 0}, {9, 1}}, {{0, 1}, {0, 0}}}, false}};
    for (const auto& [m, symmetric] : symmetry) {
        ASSERT_TRUE(IsSymmetric(ToMatrix(m), 1e-9, &result).ok());
        EXPECT_EQ(result, symmetric);
    }
    // The scale is the first largest real part unless an imaginary part is strictly larger.
    double n = 0;
    for (const auto& [m, scale] : {std::pair{D{{{1, -4}}, {{3, 4}}}, -4.0}, {D{{{2, 2}}}, 2.0}, {D{{{kNaN, 1}}, {{-1, 0}}}, -1.0}}) {
        ASSERT_TRUE(Normalize(ToMatrix(m), &n, &r).ok());
        EXPECT_EQ(n, scale);
    }
    // Sorted by modulus 5, 1, 2; ToCMatrix gives zero imaginary parts.
    CMatrix keys = ToMatrix(D{{{3, 4}}, {{0, 1}}, {{-2, 0}}});
    Buffer<I> perm;
    ASSERT_TRUE(SortRows(keys, 0, 0, &perm).ok());
    EXPECT_TRUE(SameBits(ToDense(keys), D{{{0, 1}}, {{-2, 0}}, {{3, 4}}}));
    ASSERT_TRUE(ToCMatrix(Make<double>({{1, -0.0, 3}}), &r).ok());
    EXPECT_TRUE(SameBits(ToDense(r), D{{{1, 0}, {-0.0, 0}, {3, 0}}}));
}

}  // namespace
}  // namespace corvane::support
