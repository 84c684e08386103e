// Cholesky factorisation of a real symmetric positive definite matrix.
#pragma once

#include <cstdint>

#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// A = L·Lᵀ, column by column, verifying exact symmetry pair by pair. L (may
// be null) is sized n × n and only its lower triangle written; 1314 for an
// asymmetric pair or a pivot <= 0.
Status Cholesky(const Matrix& a, MatrixOut* L);

// Kernel on a 0-based row-pointer array: on success a holds L on and below
// the diagonal and A above it; kKernelNotPositiveDefinite otherwise.
int CholeskyCrout(double** a, std::int32_t n);

}  // namespace corvane
