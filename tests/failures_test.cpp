// Every operation of the core, real and complex: each failure with its
// message in the order the checks are made, and a sweep that fails each
// allocation in turn. A failed call must leave its object and every output
// exactly as they were.
#include "core/instruction_set.h"
#include "support.h"

namespace corvane::support {
namespace {

// The objects, arguments and outputs every row may use.
template <class T> struct World {
    BasicMatrix<T> none, rowsOnly, colsOnly, wide = Make<T>({{1, 2, 3}, {4, 5, 6}}), tall = Make<T>({{1, 2}, {3, 4}, {5, 6}}),
                                             spd = Make<T>({{4, 2}, {2, 3}}), singular = Make<T>({{1, 2}, {0, 0}}), asym = Make<T>({{4, 1}, {2, 3}}),
                                             notPd = Make<T>({{1, 1}, {1, 1}}), rhs = Make<T>({{1}, {2}}), result = Make<T>({{9}}), big;
    CMatrix cresult;
    Recorder<T> out[4];
    Recorder<Complex> cout[2];
    T value = Narrow<T>(Cx(7, 7));  // scalar arguments and outputs
    Complex z{7, 7};
    double real = 7;
    bool flag = true;
    I sign = 7;
    Buffer<I> perm;  // empty
    Buffer<char> text;
    FakeSink sink;
    FakeArray array;
    FakeIndex index;
    World() {
        (void)rowsOnly.PutRows(2), (void)colsOnly.PutCols(2), (void)big.Size(40, 40);  // big: packed products
        array.data = Dense<double>{{1, 2}, {3, 4}};
        index.entries = {1, 0};
    }
    std::vector<const MatrixReader<T>*> Matrices() const {
        return {&none, &rowsOnly, &colsOnly, &wide, &tall, &spd, &singular, &asym, &notPd, &rhs, &result, &big};
    }
};

template <class T> void ExpectUnchanged(const World<T>& w, const char* call) {
    const World<T> fresh;
    for (std::size_t k = 0; k < w.Matrices().size(); ++k)
        EXPECT_TRUE(SameBits(ToDense(*w.Matrices()[k]), ToDense(*fresh.Matrices()[k]))) << call << ", matrix " << k;
    EXPECT_TRUE(SameBits(ToDense(w.cresult), ToDense(fresh.cresult))) << call;
    for (const auto& o : w.out) EXPECT_EQ(o.log, "") << call;
    for (const auto& o : w.cout) EXPECT_EQ(o.log, "") << call;
    EXPECT_TRUE(SameBits(w.value, fresh.value) && SameBits(w.z, fresh.z) && w.real == 7 && w.flag && w.sign == 7 && w.perm.size() == 0 &&
                w.text.size() == 0)
        << call;
}

// Times capped at `set` (packed paths take storage beyond the result's); the widest set is restored.
Status TimesOn(InstructionSet set, const Matrix& a, Matrix* r) {
    ForceInstructionSet(set);
    const Status s = Times(a, &a, r);
    ForceInstructionSet(InstructionSet::kAvx512);
    return s;
}

// A call written once, run on a fresh world; its text names it in failures.
template <class T> struct Row {
    Status expected;
    const char* call;
    std::function<Status(World<T>&)> run;
};
// clang-format off
#define ROW(expected, ...) {expected, #__VA_ARGS__, [](World<T>& w) { return __VA_ARGS__; }}
#define OK(...) ROW(Status::Ok(), __VA_ARGS__)
constexpr Status kNull = Status::NullPointer();
constexpr const PermIndexArgument* kNoIndex = nullptr;

template <class T> std::vector<Row<T>> FailureRows() {
    std::vector<Row<T>> rows = {
        // Sizing, elements, whole-matrix operations; a count given alone leaves the object unsized.
        ROW(Status::OutOfMemory(), w.wide.Size(kMaxSize, kMaxSize)),
        ROW(Status::OutOfMemory(), w.none.Size(1, kMaxSize)), ROW(kInvalidRows, w.spd.Size(0, 0)),
        ROW(kInvalidCols, w.spd.Size(1, 0)), ROW(kInvalidRows, w.spd.Size(-5, 2)), ROW(kInvalidRows, w.none.PutRows(0)),
        ROW(kInvalidCols, w.rowsOnly.PutCols(-1)), ROW(kNotSized, w.rowsOnly.Item(0, 0, &w.value)),
        ROW(kRowIndex, w.wide.Item(2, 3, &w.value)), ROW(kColIndex, w.wide.Item(1, 3, &w.value)),
        ROW(kRowIndex, w.wide.PutItem(-1, 0, w.value)), ROW(kColIndex, w.wide.PutItem(0, -1, w.value)),
        ROW(kNotSized, w.none.PutItem(0, 0, w.value)), ROW(kNotSized, w.none.IsSquare(&w.flag)),
        ROW(kNotSized, w.colsOnly.Clear()), ROW(kNotSized, w.none.SwapRows(0, 0)),
        ROW(kRowIndex, w.wide.SwapRows(0, 2)), ROW(kRowIndex, w.wide.SwapRows(-1, 0)),
        ROW(kNotSized, w.none.SwapCols(0, 0)), ROW(kColIndex, w.wide.SwapCols(1, 3)),
        ROW(kColIndex, w.none.ColVector(0, &w.result)), ROW(kNotSized, w.colsOnly.ColVector(1, &w.result)),
        ROW(kColIndex, w.wide.ColVector(3, &w.result)), ROW(kRowIndex, w.colsOnly.RowVector(0, &w.result)),
        ROW(kNotSized, w.rowsOnly.RowVector(1, &w.result)), ROW(kRowIndex, w.wide.RowVector(2, &w.result)),
        // Arithmetic and comparisons: unsized, then null pointers, then shapes.
        ROW(kNotSized, Plus(w.none, nullptr, &w.result)), ROW(kNull, Plus(w.spd, nullptr, &w.result)),
        ROW(kNull, Plus(w.spd, &w.spd, nullptr)), ROW(kNotSameSize, Plus(w.spd, &w.wide, &w.result)),
        ROW(kNotSameSize, Minus(w.spd, &w.none, &w.result)), ROW(kNotSized, Minus(w.none, &w.none, &w.result)),
        ROW(kNotSameSize, PlusEquals(w.spd, &w.wide)), ROW(kNotSameSize, MinusEquals(w.wide, &w.tall)),
        ROW(kNotSized, PlusEquals(w.none, &w.none)), ROW(kNull, MinusEquals(w.spd, nullptr)),
        ROW(kCannotMultiply, Times(w.wide, &w.wide, &w.result)),
        ROW(kInvalidCols, Times(w.spd, &w.rowsOnly, &w.result)), ROW(kNotSized, Times(w.none, &w.spd, &w.result)),
        ROW(kNull, Times(w.spd, &w.spd, nullptr)), ROW(kNotSized, TimesScalar(w.none, w.value, &w.result)),
        ROW(kNull, TimesScalar(w.spd, w.value, nullptr)), ROW(kNotSized, Transpose(w.none, &w.result)),
        ROW(kNull, Transpose(w.spd, nullptr)), ROW(kNotSized, Normalize(w.none, &w.real, &w.result)),
        ROW(kNull, Normalize(w.spd, &w.real, nullptr)), ROW(kNotSized, NormalizeMe(w.none, &w.real)),
        ROW(kNull, NormalizeMe(w.spd, nullptr)), ROW(kNotSized, IsEqualTo(w.none, &w.spd, 0.0, &w.flag)),
        ROW(kNull, IsEqualTo(w.spd, nullptr, 0.0, &w.flag)), ROW(kNotSized, IsSymmetric(w.none, 0.0, &w.flag)),
        ROW(kNull, IsSymmetric(w.spd, 0.0, nullptr)), ROW(kNull, GetString(w.spd, 3, "", nullptr)),
        // Sorting and reordering; the permutation index is checked in order.
        ROW(kNotSized, SortRows(w.none, 9, 0, &w.perm)), ROW(kColIndex, SortRows(w.wide, 3, 0, &w.perm)),
        ROW(kColIndex, SortRows(w.wide, -1, 1, &w.perm)), ROW(kRowIndex, SortCols(w.wide, 2, 0, &w.perm)),
        ROW(kNotSized, SortCols(w.none, 0, 0, &w.perm)), ROW(kNotSized, ReorderRows(w.none, kNoIndex)),
        ROW(kArrayWrongSize, ReorderRows(w.spd, kNoIndex)),
        ROW(kNotAnArray, (w.index.type = kVarTypeArray | 5, w.index.nullArray = true, ReorderRows(w.spd, &w.index))),
        ROW(kNotAnArray, (w.index.type = kVarTypeI4, ReorderCols(w.spd, &w.index))),
        ROW(kArrayWrongSize, (w.index.nullArray = true, w.index.dims = 2, ReorderRows(w.spd, &w.index))),
        ROW(kArrayWrongSize, (w.index.dims = 2, ReorderRows(w.spd, &w.index))),
        ROW(kArrayWrongSize, (w.index.lower = 1, ReorderRows(w.spd, &w.index))),
        ROW(kArrayWrongSize, ReorderCols(w.wide, &w.index)), ROW(kArrayWrongSize, ReorderRows(w.spd, w.perm)),
        // Decompositions and solvers: unsized, square, then their own tests.
        ROW(kNotSized, LU(w.none, &w.out[0], &w.out[1], &w.perm, &w.sign)),
        ROW(kNotSquare, LU(w.wide, &w.out[0], &w.out[1], &w.perm, &w.sign)),
        ROW(kSingular, LU(w.singular, &w.out[0], &w.out[1], &w.perm, &w.sign)),
        ROW(kNotSized, Determinant(w.none, &w.value)), ROW(kNotSquare, Determinant(w.wide, &w.value)),
        ROW(kNull, Determinant(w.spd, nullptr)), ROW(kNotSized, Inverse(w.none, &w.result)),
        ROW(kNotSquare, Inverse(w.tall, &w.result)), ROW(kCannotInvert, Inverse(w.singular, &w.result)),
        ROW(kNull, Inverse(w.spd, nullptr)), ROW(kNotSized, SolveGauss(w.none, nullptr, &w.result)),
        ROW(kNotSquare, SolveGauss(w.wide, nullptr, &w.result)), ROW(kNull, SolveGauss(w.spd, nullptr, &w.result)),
        ROW(kRightHandWrongSize, SolveGauss(w.spd, &w.spd, &w.result)),
        ROW(kRightHandWrongSize, SolveGauss(w.singular, &w.tall, &w.result)),
        ROW(kCannotSolve, SolveGauss(w.singular, &w.rhs, &w.result)), ROW(kNotSized, Solve(w.none, nullptr, &w.result)),
        ROW(kNotSquare, Solve(w.wide, nullptr, &w.result)), ROW(kNull, Solve(w.spd, nullptr, &w.result)),
        ROW(kRightHandWrongSize, Solve(w.singular, &w.tall, &w.result)),
        ROW(kCannotSolve, Solve(w.singular, &w.spd, &w.result)),
        ROW(kInvalidCols, Solve(w.spd, &w.rowsOnly, &w.result)), ROW(kNotSized, QR(w.none, &w.out[0], &w.out[1])),
        ROW(kTooFewRows, QR(w.wide, &w.out[0], &w.out[1])), ROW(kNotSized, Cholesky(w.none, &w.out[0])),
        ROW(kNotSquare, Cholesky(w.tall, &w.out[0])), ROW(kNotPositiveDefinite, Cholesky(w.asym, &w.out[0])),
        ROW(kNotSized, EigenC(w.none, &w.cout[0], &w.cout[1])), ROW(kNotSquare, EigenC(w.wide, &w.cout[0], &w.cout[1])),
    };
    if constexpr (std::is_same_v<T, double>) {
        rows.insert(rows.end(), {
            ROW(kNotPositiveDefinite, Cholesky(w.notPd, &w.out[0])),
            ROW(kNotSized, SVD(w.none, &w.out[0], &w.out[1], &w.out[2])),
            ROW(kNotSized, Eigen(w.none, &w.out[0], &w.out[1], &w.out[2], &w.out[3])),
            ROW(kNotSquare, Eigen(w.tall, &w.out[0], &w.out[1], &w.out[2], &w.out[3])),
            ROW(kNotSized, ToCMatrix(w.none, &w.cresult)), ROW(kNull, ToCMatrix(w.spd, nullptr)),
            ROW(kNotSized, AsArray(w.none, &w.sink)), ROW(kNull, AsArray(w.spd, nullptr)),
            ROW(Status::OutOfMemory(), (w.sink.failAfter = 2, AsArray(w.spd, &w.sink))),
            ROW(kNotAnArray, PutAsArray(w.spd, nullptr)),
            ROW(kNotAnArray, (w.array.dims = 3, PutAsArray(w.spd, &w.array))),
            ROW(kNotAnArray, (w.array.doubles = false, PutAsArray(w.none, &w.array))),
            ROW(kInvalidRows, (w.array.data = Dense<double>(0, 0), PutAsArray(w.spd, &w.array))),
            ROW(kInvalidCols, (w.array.data = Dense<double>(1, 0), PutAsArray(w.spd, &w.array))),
            ROW(kInvalidRows, (w.array.dims = 1, w.array.data = Dense<double>(0, 1), PutAsArray(w.spd, &w.array))),
            ROW(kNull, CAdd(nullptr, &w.z, &w.z)), ROW(kNull, CSub(&w.z, nullptr, &w.z)),
            ROW(kNull, CMul(&w.z, &w.z, nullptr)), ROW(kNull, CDiv(nullptr, &w.z, &w.z)),
            ROW(kNull, CAbs(&w.z, nullptr)), ROW(kNull, CSqr(nullptr, &w.z)),
        });
    } else {
        rows.insert(rows.end(), {
            ROW(kNotSized, AsArrayR(w.none, &w.sink)), ROW(kNotSized, AsArrayI(w.none, &w.sink)),
            ROW(kNotAnArray, (w.array.dims = 0, PutAsArrayR(w.spd, &w.array))),
            ROW(kInvalidCols, (w.array.data = Dense<double>(2, 0), PutAsArrayI(w.spd, &w.array))),
        });
    }
    return rows;
}

// Calls that succeed when memory is there.
template <class T> std::vector<Row<T>> SuccessRows() {
    std::vector<Row<T>> rows = {
        OK(w.spd.Size(3, 3)), OK(w.rowsOnly.PutCols(3)), OK(w.wide.Clone(&w.result)),
        OK(w.wide.ColVector(1, &w.result)), OK(w.wide.RowVector(1, &w.result)), OK(Plus(w.spd, &w.asym, &w.result)),
        OK(Minus(w.spd, &w.asym, &w.result)), OK(Times(w.wide, &w.tall, &w.result)),
        OK(TimesScalar(w.wide, w.value, &w.result)), OK(Transpose(w.wide, &w.result)),
        OK(Normalize(w.wide, &w.real, &w.result)), OK(SortRows(w.tall, 1, 1, &w.perm)),
        OK(SortCols(w.wide, 1, 0, &w.perm)), OK(ReorderRows(w.spd, &w.index)), OK(ReorderCols(w.asym, &w.index)),
        OK(GetString(w.wide, 3, "", &w.text)), OK(LU(w.asym, &w.out[0], &w.out[1], &w.perm, &w.sign)),
        OK(Determinant(w.asym, &w.value)), OK(Inverse(w.asym, &w.result)), OK(SolveGauss(w.asym, &w.rhs, &w.result)),
        OK(Solve(w.asym, &w.spd, &w.result)), OK(QR(w.tall, &w.out[0], &w.out[1])), OK(Cholesky(w.spd, &w.out[0])),
        OK(EigenC(w.asym, &w.cout[0], &w.cout[1])),
    };
    if constexpr (std::is_same_v<T, double>) {
        rows.insert(rows.end(), {
            OK(SVD(w.wide, &w.out[0], &w.out[1], &w.out[2])), OK(ToCMatrix(w.wide, &w.cresult)),
            OK(Eigen(w.asym, &w.out[0], &w.out[1], &w.out[2], &w.out[3])), OK(PutAsArray(w.wide, &w.array)),
            OK(TimesOn(InstructionSet::kSse2, w.big, &w.result)), OK(TimesOn(InstructionSet::kAvx2, w.big, &w.result)),
            OK(TimesOn(InstructionSet::kAvx512, w.big, &w.result)),
        });
    } else {
        rows.insert(rows.end(), {OK(PutAsArrayR(w.wide, &w.array)), OK(PutAsArrayI(w.wide, &w.array))});
    }
    return rows;
}
// clang-format on

template <class T> class Failures : public ::testing::Test {};
using ElementTypes = ::testing::Types<double, Complex>;
TYPED_TEST_SUITE(Failures, ElementTypes);

TYPED_TEST(Failures, EachFailsWithItsMessageAndChangesNothing) {
    for (const auto& row : FailureRows<TypeParam>()) {
        World<TypeParam> w;
        const Status s = row.run(w);
        EXPECT_EQ(s.code(), row.expected.code()) << row.call << ": " << MessageText(s.message());
        ExpectUnchanged(w, row.call);
    }
}

TYPED_TEST(Failures, EveryAllocationFailureIsOutOfMemoryAndChangesNothing) {
    for (const auto& row : SuccessRows<TypeParam>()) {
        long k = 0;
        for (;; ++k) {
            World<TypeParam> w;
            const Status s = [&] {
                FailAllocations guard(k);
                return row.run(w);
            }();
            if (s.ok() || k == 1000) break;
            EXPECT_EQ(s.code(), Status::OutOfMemory().code()) << row.call << " failing allocation " << k;
            ExpectUnchanged(w, row.call);
        }
        EXPECT_TRUE(k > 0 && k < 1000) << row.call << " after " << k << " allocations";
    }
}

}  // namespace
}  // namespace corvane::support
