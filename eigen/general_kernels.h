// Eigenvalues and eigenvectors of a general real matrix: reduction to upper
// Hessenberg form by stabilised elementary transformations, then the Francis
// double-shift QR iteration (no balancing). Every routine works on
// caller-allocated, 0-based row-pointer arrays, allocates nothing and receives
// the last index N = n − 1, the last storage row nm (= N here) and the active
// window low..igh (0..N here).
//
// Results: eigenvalue j is wr[j] + i·wi[j], unsorted, in the order of the
// final quasi-triangular matrix. A complex pair occupies j, j + 1 with
// wi[j] > 0 and wi[j + 1] = −wi[j]; column j of z is then the real part and
// column j + 1 the imaginary part of the eigenvector of wr[j] + i·wi[j]. A
// real eigenvalue's eigenvector is column j of z.
#pragma once

#include <cstdint>

namespace corvane {

// Driver (EISPACK rg without balancing). a is destroyed. With wantVectors ≠ 0
// z receives the eigenvectors scaled by NormalizeRealEigenvectors. iv is an
// integer work array of n elements; fv is not used. *ierr = 0 on success,
// otherwise the position of the eigenvalue being sought when the iteration
// budget ran out (eigenvalues above it are valid).
void EigenGeneral(std::int32_t nm, std::int32_t n, double* const* a, double* wr, double* wi,
                  std::int32_t wantVectors, double* const* z, std::int32_t* iv, double* fv, std::int32_t* ierr);

// Upper Hessenberg form in a; the multipliers are kept below the subdiagonal
// and the pivot rows in iv[low + 1 .. igh − 1].
void HessenbergReduce(std::int32_t nm, std::int32_t n, std::int32_t low, std::int32_t igh, double* const* a,
                      std::int32_t* iv);
// The transformation of HessenbergReduce as a matrix in z.
void HessenbergTransform(std::int32_t nm, std::int32_t n, std::int32_t low, std::int32_t igh,
                         double* const* a, const std::int32_t* iv, double* const* z);

// A negative budget means the routine's own total iteration budget.
inline constexpr std::int64_t kDefaultQRBudget = -1;

// Eigenvalues and eigenvectors of the Hessenberg matrix h, z holding the
// transformation on entry (budget 30·n iterations in all).
void HessenbergQRVectors(std::int32_t nm, std::int32_t n, std::int32_t low, std::int32_t igh, double* const* h,
                         double* wr, double* wi, double* const* z, std::int32_t* ierr,
                         std::int64_t budget = kDefaultQRBudget);
// Eigenvalues only (budget 30·N iterations in all).
void HessenbergQRValues(std::int32_t nm, std::int32_t n, std::int32_t low, std::int32_t igh, double* const* h,
                        double* wr, double* wi, std::int32_t* ierr, std::int64_t budget = kDefaultQRBudget);

// Scales each real eigenvector to largest component magnitude 1, and each
// complex pair of columns by one factor so that its largest real or imaginary
// part has magnitude 1.
void NormalizeRealEigenvectors(std::int32_t nm, std::int32_t n, double* const* z, const double* wi);

}  // namespace corvane
