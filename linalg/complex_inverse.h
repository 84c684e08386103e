// Inverse and linear solves of a complex matrix by Gauss-Jordan elimination
// with partial pivoting on the one-norm |Re| + |Im|.
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"

namespace corvane {

// A⁻¹ in a new matrix; 1306 when a chosen pivot is (0, 0).
Status Inverse(const CMatrix& a, CMatrix* result);

// x with A·x = b for an n × 1 right-hand side, as a new n × 1 matrix; 1311
// for another shape of b, 1310 when a chosen pivot is (0, 0); a null
// right-hand side fails with E_POINTER.
Status SolveGauss(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result);

// X = A⁻¹·B through Inverse and Times, as a new n × (columns of B) matrix.
// 1321, 1305, then 1311 when B has not n rows, 1310 when A cannot be
// inverted; a null B fails with E_POINTER.
Status Solve(const CMatrix& a, const CMatrixIn* rhs, CMatrix* result);

}  // namespace corvane
