// LU factorisation and determinant of a real or complex matrix.
#pragma once

#include <cstdint>

#include "core/buffer.h"
#include "core/cmatrix.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// P·A = L·U by Crout's method with implicit partial pivoting, rows weighed
// by the magnitude (the modulus for complex elements). Outputs (each may be
// null = not wanted) are written only on success, in the order L, U,
// permIndex, permSign: L unit lower triangular, U upper triangular, permIndex
// (replaced by a new n-element buffer) holding for each row of A its position
// in P·A, permSign the permutation's sign. A zero pivot is replaced by 1e-20
// (complex (1e-20, 0)); a row without a nonzero element fails with kSingular.
Status LU(const Matrix& a, MatrixOut* L, MatrixOut* U, Buffer<std::int32_t>* permIndex, std::int32_t* permSign);
Status LU(const CMatrix& a, CMatrixOut* L, CMatrixOut* U, Buffer<std::int32_t>* permIndex, std::int32_t* permSign);

// det(A) by Gaussian elimination with plain partial pivoting (complex
// elements on the one-norm |Re| + |Im|); exactly zero when a pivot column is
// exhausted (complex: when a chosen pivot is (0, 0)).
Status Determinant(const Matrix& a, double* det);
Status Determinant(const CMatrix& a, Complex* det);

}  // namespace corvane
