// Eigenvalues and eigenvectors of a general complex matrix: unitary reduction
// to Hessenberg form, complex QR iteration for values (and vectors), and the
// eigenvector scaling. Real and imaginary parts live in separate row-pointer
// arrays allocated by the caller; indexes are 0-based and ranges inclusive.
// N is the last index (order − 1), low..igh the active window (0..N here,
// there is no balancing).
#pragma once

#include <cstdint>

#include "eigen/iteration_budget.h"
#include "linalg/kernel_codes.h"

namespace corvane {

// A step comqr2 owes to z, or to the columns of h right of the active window:
// neither is read by a later step of the iteration, so steps of several
// sweeps are gathered and then applied a block of columns at a time, each
// element taking its steps in order.
struct ComplexSweepStep {
    std::int32_t kind;   // one of the kinds below
    std::int32_t j;      // rows j − 1 and j, or row j alone for a scaling
    std::int32_t first;  // first column
    double a, b, s;      // the step's xr, xi, s, or a scaling's ur, ui
    // The column step and scaling (to z, held transposed), and the row step
    // and conjugate scaling (to h).
    static constexpr std::int32_t kColumnStep = 0, kScale = 1, kRowStep = 2, kScaleConjugate = 3;
};

// Room for the steps comqr2 gathers on a matrix of order n (a few sweeps, to
// z and to h).
std::int64_t ComplexSweepStepRoom(std::int32_t n) noexcept;

// Driver (EISPACK cg without balancing): reduction, then values only or
// values, vectors and their scaling. ar, ai (n × n) are destroyed; zr, zi
// (n × n) are written only when wantVectors; ortr, orti are n-element work
// arrays; steps has ComplexSweepStepRoom(n) elements (when null, comqr2
// gathers a few steps at a time). kKernelNoConvergence when the iteration
// budget ran out.
KernelCode EigenComplexGeneral(std::int32_t N, double* const* ar, double* const* ai, double* wr, double* wi,
                               bool wantVectors, double* const* zr, double* const* zi, double* ortr, double* orti,
                               ComplexSweepStep* steps = nullptr);

// sqrt(a² + b²) without overflow by the cubically convergent iteration of
// Moler and Morrison (pythag). Ends after a bounded number of rounds for NaN
// or infinite arguments.
double IterativeHypot(double a, double b);

// The square root of xr + i·xi on the branch with yr ≥ 0 and yi of the sign
// of xi (csroot). NaN in both parts when xr is NaN.
void ComplexSqrtBranch(double xr, double xi, double* yr, double* yi);

// Householder reduction of (ar, ai) to upper Hessenberg form (corth); the
// reflectors are left in ortr, orti and below the subdiagonal of ar, ai.
void ComplexHessenbergReduce(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* ar, double* const* ai,
                             double* ortr, double* orti);

// Eigenvalues of the Hessenberg matrix (hr, hi) into wr, wi, unsorted
// (comqr); or eigenvalues and eigenvectors of the matrix reduced by
// ComplexHessenbergReduce, column j of (zr, zi) the unscaled eigenvector of
// wr[j] + i·wi[j] (comqr2). Budget 30·N iterations in all. hr, hi (and
// ortr, orti) are destroyed. On kKernelNoConvergence the eigenvalues above
// index *unfinished (when given) are final.
KernelCode ComplexQRValues(std::int32_t N, std::int32_t low, std::int32_t igh, double* const* hr, double* const* hi,
                           double* wr, double* wi, std::int64_t budget = kOwnBudget,
                           std::int32_t* unfinished = nullptr);
KernelCode ComplexQRVectors(std::int32_t N, std::int32_t low, std::int32_t igh, double* ortr, double* orti,
                            double* const* hr, double* const* hi, double* wr, double* wi, double* const* zr,
                            double* const* zi, std::int64_t budget = kOwnBudget, std::int32_t* unfinished = nullptr,
                            ComplexSweepStep* steps = nullptr);

// Scales every column of (zr, zi) by one signed real factor so that its real
// or imaginary part of largest magnitude becomes +1.
void NormalizeComplexEigenvectors(std::int32_t N, double* const* zr, double* const* zi);

}  // namespace corvane
