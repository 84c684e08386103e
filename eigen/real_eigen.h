// Eigen and EigenC of the real matrix: eigenvalues by descending modulus (ties
// by position), eigenvectors with conjugate pairs in adjacent columns, handed
// back through caller-supplied outputs (null = not wanted).
#pragma once

#include "core/cmatrix.h"
#include "core/matrix.h"

namespace corvane {

// Real and imaginary parts in four real outputs: values n × 1, vectors n × n.
// Vectors are computed only when RealVectors or ImagVectors is given.
// Fails with 1321 (unsized), 1305 (not square), 1317 (no convergence) or
// Status::OutOfMemory(); a failure writes no output.
Status Eigen(const Matrix& m, MatrixOut* realValues, MatrixOut* imagValues, MatrixOut* realVectors,
             MatrixOut* imagVectors);

// The same results as complex outputs: values n × 1, vectors n × n.
Status EigenC(const Matrix& m, CMatrixOut* eigenvalues, CMatrixOut* eigenvectors);

}  // namespace corvane
