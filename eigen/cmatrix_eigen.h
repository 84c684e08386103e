// EigenC of the complex matrix: all eigenvalues and, on request, all
// eigenvectors of a general complex square matrix, ordered by descending
// modulus.
#pragma once

#include <cstdint>

#include "core/cmatrix.h"
#include "core/errors.h"
#include "eigen/eigen_order.h"

namespace corvane {

// Eigenvalues (n × 1) and eigenvectors (n × n, column k belonging to value
// k, scaled so that its real or imaginary part of largest magnitude is +1)
// of the square matrix a. A null output is not wanted; without eigenvectors
// only the values are computed. Fails with 1321 (unsized), 1305 (not
// square), 1317 (no convergence) or out-of-memory, touching no output.
Status EigenC(const CMatrix& a, CMatrixOut* eigenvalues, CMatrixOut* eigenvectors);

}  // namespace corvane
