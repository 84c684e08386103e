#include "linalg/solve.h"

#include "core/arithmetic.h"
#include "core/buffer.h"
#include "core/row_store.h"
#include "linalg/inverse.h"
#include "linalg/kernel_codes.h"
#include "linalg/kernels/elimination_policy.h"
#include "linalg/kernels/gauss_jordan.h"
#include "linalg/operands.h"

namespace corvane {
namespace {

template <class T, class P = EliminationPolicy<T>>
Status SolveGaussOf(const BasicMatrix<T>& a, const MatrixReader<T>* rhs, BasicMatrix<T>* result) {
    if (result == nullptr) return Status::NullPointer();
    if (Status s = CheckSquare(a); !s) return s;
    // The right-hand side is read where the checks reach it.
    if (rhs == nullptr) return Status::NullPointer();
    const std::int32_t n = a.Rows();
    if (rhs->Rows() != n || rhs->Cols() != 1) return kRightHandWrongSize;
    RowStore<T> work;
    Buffer<T> b;
    GaussJordanWork<T> steps;
    if (!CopyRows(a, &work) || !b.Allocate(n) || !steps.Reserve(n)) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i) (void)rhs->Item(i, 0, &b[i]);
    if (GaussJordanSolve<T, P>(work.data(), b.data(), n, steps) != kKernelOk) return kCannotSolve;
    BasicMatrix<T> out;
    if (!out.Size(n, 1).ok()) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i) out.at(i, 0) = b[i];
    *result = std::move(out);
    return Status::Ok();
}

template <class T>
Status SolveOf(const BasicMatrix<T>& a, const MatrixReader<T>* rhs, BasicMatrix<T>* result) {
    if (result == nullptr) return Status::NullPointer();
    if (Status s = CheckSquare(a); !s) return s;
    if (rhs == nullptr) return Status::NullPointer();
    // Only the row count is examined: every column of B gives a column of X.
    if (rhs->Rows() != a.Rows()) return kRightHandWrongSize;
    BasicMatrix<T> inverse;
    if (Status s = Inverse(a, &inverse); !s) {
        // A singular matrix becomes "cannot be solved"; lack of memory stays
        // what it is.
        return s.message() != 0 ? Status(kCannotSolve) : s;
    }
    // A product that cannot be formed (B without a column count, no memory)
    // is reported rather than answered with no result.
    return Times(inverse, rhs, result);
}

}  // namespace

Status SolveGauss(const Matrix& a, const MatrixIn* rhs, Matrix* result) { return SolveGaussOf(a, rhs, result); }

Status SolveGauss(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result) { return SolveGaussOf(a, rhs, result); }

Status Solve(const Matrix& a, const MatrixIn* rhs, Matrix* result) { return SolveOf(a, rhs, result); }

Status Solve(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result) { return SolveOf(a, rhs, result); }

}  // namespace corvane
