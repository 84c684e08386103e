// Linear solves of a real or complex matrix: one right-hand column by
// Gauss-Jordan elimination, or any number of columns through the inverse.
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// x with A·x = b for an n × 1 right-hand side, by Gauss-Jordan elimination
// with partial pivoting (complex elements on the one-norm |Re| + |Im|), as a
// new n × 1 matrix; kRightHandWrongSize for another shape of b, kCannotSolve when a pivot column is
// exhausted (complex: when a chosen pivot is (0, 0)); a null right-hand side
// fails with E_POINTER.
Status SolveGauss(const Matrix& a, const MatrixIn* rhs, Matrix* result);
Status SolveGauss(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result);

// X = A⁻¹·B through the object's own Inverse and Times, as any client would,
// as a new n × (columns of B) matrix. kNotSized, kNotSquare, then kRightHandWrongSize when B has not n
// rows, kCannotSolve when A cannot be inverted; a null B fails with E_POINTER.
Status Solve(const Matrix& a, const MatrixIn* rhs, Matrix* result);
Status Solve(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result);

}  // namespace corvane
