// Eigenvalues and eigenvectors of a real symmetric matrix: Householder
// tridiagonalisation followed by the implicit QL iteration. Every routine
// works on caller-allocated, 0-based row-pointer arrays, allocates nothing and
// receives the last index N = n − 1 (and nm, the last row index of the
// storage, always equal to N here) instead of the order.
#pragma once

#include <cstdint>

namespace corvane {

// Iterations allowed for one eigenvalue of the QL routines.
inline constexpr std::int32_t kQLIterationLimit = 30;

// Driver (EISPACK rs). Only the lower triangle of a is read. w receives the
// eigenvalues in ascending order; with wantVectors ≠ 0, column j of z the
// orthonormal eigenvector of w[j] (a is left unchanged), otherwise a is
// overwritten and z untouched. e and e2 are work arrays of n elements.
// *ierr = 0 on success; non-zero when an eigenvalue did not converge.
void EigenSymmetric(std::int32_t nm, std::int32_t n, double* const* a, double* w, std::int32_t wantVectors,
                    double* const* z, double* e, double* e2, std::int32_t* ierr);

// Values path: a reduced in place, w the diagonal, e the subdiagonal
// (e[i] couples rows i − 1 and i, e[0] = 0), e2 its squares.
void TridiagonalizeValues(std::int32_t nm, std::int32_t n, double* const* a, double* w, double* e, double* e2);
// Eigenvalues of the tridiagonal (w, e) into w, ascending. On failure *ierr is
// the 1-based position of the eigenvalue that used up maxIterations.
void TridiagonalQLValues(std::int32_t n, double* w, double* e, std::int32_t* ierr,
                         std::int32_t maxIterations = kQLIterationLimit);

// Vectors path: a unchanged, z the accumulated orthogonal transformation.
void TridiagonalizeVectors(std::int32_t nm, std::int32_t n, double* const* a, double* w, double* e,
                           double* const* z);
// Eigenvalues into w (ascending) and eigenvectors into the columns of z.
void TridiagonalQLVectors(std::int32_t nm, std::int32_t n, double* w, double* e, double* const* z,
                          std::int32_t* ierr, std::int32_t maxIterations = kQLIterationLimit);

}  // namespace corvane
