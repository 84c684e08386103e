// LU factorisation and determinant of a complex matrix.
#pragma once

#include <cstdint>

#include "core/buffer.h"
#include "core/cmatrix.h"
#include "core/errors.h"

namespace corvane {

// P·A = L·U by Crout's method with implicit partial pivoting, rows weighed
// by the modulus. Outputs (each may be null = not wanted) are written only on
// success, in the order L, U, permIndex, permSign, as for the real LU. A zero
// pivot is replaced by (1e-20, 0); a row without a nonzero element fails
// with 1313.
Status LU(const CMatrix& a, CMatrixOut* L, CMatrixOut* U, Buffer<std::int32_t>* permIndex, std::int32_t* permSign);

// det(A) by Gaussian elimination with partial pivoting on the one-norm
// |Re| + |Im|; exactly (0, 0) when a chosen pivot is (0, 0).
Status Determinant(const CMatrix& a, Complex* det);

}  // namespace corvane
