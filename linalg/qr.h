// QR factorisation of a real matrix with at least as many rows as columns.
#pragma once

#include <cstdint>

#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A = Q·R by Householder reflections: Q m × n with orthonormal columns, R
// n × n upper triangular whose diagonal has the sign opposite to the
// reflected column's leading element. Outputs (may be null) are written R
// first, then Q; Q is formed only when requested. 1318 when Rows < Cols.
Status QR(const Matrix& a, MatrixOut* Q, MatrixOut* R);

// Kernels on 0-based row-pointer arrays. HouseholderQR overwrites w (m × n)
// with the Householder vectors below and on the diagonal and R above it,
// rdiag (n) with R's diagonal. HouseholderFormQ forms the thin Q (m × n)
// from them. sums (n) is work storage. Both always return kKernelOk.
int HouseholderQR(double** w, std::int32_t m, std::int32_t n, double* rdiag, double* sums);
int HouseholderFormQ(double* const* w, std::int32_t m, std::int32_t n, double** q, double* sums);

}  // namespace corvane
