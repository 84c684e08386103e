// Eigenvalues and eigenvectors of a general real matrix: reduction to upper
// Hessenberg form by stabilised elementary transformations, then the Francis
// double-shift QR iteration (no balancing). Every routine works on
// caller-allocated, 0-based row-pointer arrays, allocates nothing and
// receives the last index N = n − 1 and the active window low..igh (0..N
// here).
//
// Results: eigenvalue j is wr[j] + i·wi[j], unsorted, in the order of the
// final quasi-triangular matrix. A complex pair occupies j, j + 1 with
// wi[j] > 0 and wi[j + 1] = −wi[j]; column j of z is then the real part and
// column j + 1 the imaginary part of the eigenvector of wr[j] + i·wi[j]. A
// real eigenvalue's eigenvector is column j of z.
#pragma once

#include <cstdint>

#include "eigen/iteration_budget.h"
#include "linalg/kernel_codes.h"

namespace corvane {

// A transformation of two or three rows, from column `first` on, that hqr2
// owes: to z (transposed), which no later step of the iteration reads, or to
// the columns of h right of the active window, which only later transformations
// of rows touch. Such steps are gathered over several sweeps and then applied
// a block of columns at a time, each element taking its steps in order.
struct SchurVectorStep {
    std::int32_t kind;  // one of the kinds below
    std::int32_t k;     // first row
    std::int32_t first;
    double c[5];  // the step's x, y, zz, q, r
    // The column modification of the QR step (v = x·a + y·b (+ zz·c)), its
    // row modification (v = a + q·b (+ r·c)), and the rotation of a real pair.
    static constexpr std::int32_t kReflect3 = 0, kReflect2 = 1, kReflectRows3 = 2, kReflectRows2 = 3, kRotate = 4;
};

// Room for the steps hqr2 gathers on a matrix of order n (a few sweeps, to
// z and to h).
std::int64_t SchurVectorStepRoom(std::int32_t n) noexcept;

// Driver (EISPACK rg without balancing). a is destroyed. With wantVectors z
// receives the eigenvectors scaled by NormalizeRealEigenvectors. iv is an
// integer work array of n elements; steps has SchurVectorStepRoom(n) elements
// (when null, hqr2 gathers a few steps at a time). kKernelNoConvergence when
// the iteration budget ran out.
KernelCode EigenGeneral(std::int32_t N, double* const* a, double* wr, double* wi, bool wantVectors, double* const* z,
                        std::int32_t* iv, SchurVectorStep* steps = nullptr);

// Upper Hessenberg form in a (elmhes); the multipliers are kept below the
// subdiagonal and the pivot rows in iv[low + 1 .. igh − 1]. y and takes are
// work arrays of n elements.
void HessenbergReduce(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* a, std::int32_t* iv, double* y,
                      double* takes);
// The transformation of HessenbergReduce as a matrix in z (eltran).
void HessenbergTransform(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* a, const std::int32_t* iv,
                         double* const* z);

// Eigenvalues of the Hessenberg matrix h (hqr; budget 30·N iterations in
// all), or eigenvalues and eigenvectors with z holding the transformation on
// entry (hqr2; budget 30·n). h is destroyed. On kKernelNoConvergence the
// eigenvalues above index *unfinished (when given) are final.
KernelCode HessenbergQRValues(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* h, double* wr,
                              double* wi, std::int64_t budget = kOwnBudget, std::int32_t* unfinished = nullptr);
KernelCode HessenbergQRVectors(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* h, double* wr,
                               double* wi, double* const* z, std::int64_t budget = kOwnBudget,
                               std::int32_t* unfinished = nullptr, SchurVectorStep* steps = nullptr);

// Scales each real eigenvector to largest component magnitude 1, and each
// complex pair of columns by one factor so that its largest real or imaginary
// part has magnitude 1.
void NormalizeRealEigenvectors(std::int32_t N, double* const* z, const double* wi);

}  // namespace corvane
