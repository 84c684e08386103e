// Eigenvalues and eigenvectors of a real symmetric matrix: Householder
// tridiagonalisation followed by the implicit QL iteration. Every routine
// works on caller-allocated, 0-based row-pointer arrays, allocates nothing and
// receives the last index N = n − 1 instead of the order.
#pragma once

#include <cstdint>

#include "eigen/iteration_budget.h"
#include "linalg/kernel_codes.h"

namespace corvane {

// Driver (EISPACK rs). Only the lower triangle of a is read. w receives the
// eigenvalues in ascending order; with wantVectors, column j of z the
// orthonormal eigenvector of w[j], otherwise z is untouched. a is overwritten;
// e and e2 are work arrays of n elements (e2 on the values path only).
// kKernelNoConvergence when an eigenvalue did not converge.
KernelCode EigenSymmetric(std::int32_t N, double* const* a, double* w, bool wantVectors, double* const* z, double* e,
                          double* e2);

// Values path (tred1, tql1): a reduced in place (only its lower triangle is
// read and written), w the diagonal, e the subdiagonal (e[i] couples rows i − 1
// and i, e[0] = 0), e2 work space; then the eigenvalues of the tridiagonal
// (w, e) into w, ascending. The budget counts the iterations of one
// eigenvalue (30 by default).
void TridiagonalizeValues(std::int32_t N, double* const* a, double* w, double* e, double* e2);
KernelCode TridiagonalQLValues(std::int32_t N, double* w, double* e, std::int64_t budget = kOwnBudget);

// Vectors path (tred2, tql2): a used as work space, z the accumulated orthogonal
// transformation; then the eigenvalues into w (ascending) and the
// eigenvectors into the columns of z.
void TridiagonalizeVectors(std::int32_t N, double* const* a, double* w, double* e, double* const* z);
KernelCode TridiagonalQLVectors(std::int32_t N, double* w, double* e, double* const* z,
                                std::int64_t budget = kOwnBudget);

}  // namespace corvane
