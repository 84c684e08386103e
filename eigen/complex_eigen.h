// The complex eigen kernel: unitary reduction to Hessenberg form, complex QR
// iteration for values (and vectors), and the eigenvector scaling. Real and
// imaginary parts live in separate row-pointer arrays allocated by the
// caller; indexes are 0-based and ranges inclusive. N is the last index
// (order − 1), nm the last storage row (equal to N here), low..igh the active
// window (0..nm, there is no balancing). Failure is a non-zero return code.
#pragma once

#include <cstdint>

namespace corvane {

// The QR iteration budget of comqr (30 × N in total); a non-negative value
// passed instead replaces it (tests use this to force an exhausted budget).
inline constexpr std::int64_t kComplexQRDefaultBudget = -1;

// sqrt(a² + b²) without overflow by the cubically convergent iteration of
// Moler and Morrison. Ends after a bounded number of rounds for NaN or
// infinite arguments.
double IterativeHypot(double a, double b);

// The square root of xr + i·xi on the branch with yr ≥ 0 and yi of the sign
// of xi. NaN in both parts when xr is NaN.
void ComplexSqrtBranch(double xr, double xi, double* yr, double* yi);

// Householder reduction of (ar, ai) to upper Hessenberg form; the reflectors
// are left in ortr, orti and below the subdiagonal of ar, ai.
void ComplexHessenbergReduce(std::int32_t nm, std::int32_t N, std::int32_t low, std::int32_t igh,
                             double* const* ar, double* const* ai, double* ortr, double* orti);

// Eigenvalues of the Hessenberg matrix (hr, hi) into wr, wi (unsorted).
// Returns 0, or the position (≥ 1) of the eigenvalue still sought when the
// iteration budget ran out. hr, hi are destroyed.
std::int32_t ComplexQRValues(std::int32_t nm, std::int32_t N, std::int32_t low, std::int32_t igh,
                             double* const* hr, double* const* hi, double* wr, double* wi,
                             std::int64_t budget = kComplexQRDefaultBudget);

// Eigenvalues and eigenvectors of the matrix reduced by
// ComplexHessenbergReduce: column j of (zr, zi) is the (unscaled) eigenvector
// of wr[j] + i·wi[j]. Return code as ComplexQRValues. ortr, orti, hr, hi are
// destroyed.
std::int32_t ComplexQRVectors(std::int32_t nm, std::int32_t N, std::int32_t low, std::int32_t igh,
                              double* ortr, double* orti, double* const* hr, double* const* hi, double* wr,
                              double* wi, double* const* zr, double* const* zi,
                              std::int64_t budget = kComplexQRDefaultBudget);

// Scales every column of (zr, zi) by one signed real factor so that its real
// or imaginary part of largest magnitude becomes +1.
void NormalizeComplexEigenvectors(std::int32_t nm, std::int32_t N, double* const* zr, double* const* zi);

// The driver: reduction, then values only or values, vectors and their
// scaling. ar, ai (n × n) are destroyed; zr, zi (n × n) are written only
// when wantVectors; fv is not used; ortr, orti are n-element work arrays.
// Returns 0 or the non-zero code of the QR iteration.
std::int32_t EigenComplexGeneral(std::int32_t nm, std::int32_t N, double* const* ar, double* const* ai, double* wr,
                                 double* wi, bool wantVectors, double* const* zr, double* const* zi, double* fv,
                                 double* ortr, double* orti, std::int64_t budget = kComplexQRDefaultBudget);

}  // namespace corvane
