// Solve: A·X = B for a right-hand side with any number of columns, as
// X = A⁻¹·B through the object's own Inverse and Times, as any client would.
#pragma once

#include "core/arithmetic.h"
#include "core/errors.h"
#include "core/matrix.h"
#include "linalg/elimination_operations.h"
#include "linalg/inverse.h"

namespace corvane {

namespace detail {

// Generic over the element type; Inverse and Times of the element's matrix
// type are found at instantiation.
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

}  // namespace detail

// X = A⁻¹·B as a new n × (columns of B) matrix. 1321, 1305, then 1311 when B
// has not n rows, 1310 when A cannot be inverted; a null B fails with
// E_POINTER.
Status Solve(const Matrix& a, const MatrixIn* rhs, Matrix* result);

}  // namespace corvane
