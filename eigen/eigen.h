// The eigen methods of the Matrix and CMatrix objects: eigenvalues by
// descending modulus (ties by position), eigenvectors in the matching
// columns, handed back through caller-supplied outputs (null = not wanted).
// Eigenvectors are computed only when an eigenvector output is given. Each
// fails with kNotSized (unsized), kNotSquare (not square), kEigenFailed (no convergence) or
// Status::OutOfMemory(), touching no output.
#pragma once

#include "core/cmatrix.h"
#include "core/errors.h"
#include "core/matrix.h"

namespace corvane {

// Eigen of the real matrix: real and imaginary parts in four real outputs,
// values n × 1, vectors n × n with conjugate pairs in adjacent columns.
Status Eigen(const Matrix& m, MatrixOut* realValues, MatrixOut* imagValues, MatrixOut* realVectors,
             MatrixOut* imagVectors);

// EigenC of the real matrix: the same results as complex outputs.
Status EigenC(const Matrix& m, CMatrixOut* eigenvalues, CMatrixOut* eigenvectors);

// EigenC of the complex matrix: values n × 1, vectors n × n, column k
// belonging to value k and scaled so that its real or imaginary part of
// largest magnitude is +1.
Status EigenC(const CMatrix& a, CMatrixOut* eigenvalues, CMatrixOut* eigenvectors);

}  // namespace corvane
