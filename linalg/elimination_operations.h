// LU, Determinant, Inverse and SolveGauss of a matrix object, generic over
// the element type: argument checks, private copies, the kernels, and the
// outputs written only after everything has succeeded. The real operations
// (linalg/lu.h, linalg/inverse.h) instantiate these for double.
#pragma once

#include <cstdint>

#include "core/basic_matrix.h"
#include "core/buffer.h"
#include "core/errors.h"
#include "core/output.h"
#include "core/row_store.h"
#include "linalg/elimination_policy.h"
#include "linalg/gauss_jordan_kernels.h"
#include "linalg/kernel_codes.h"
#include "linalg/lu_kernels.h"
#include "linalg/work_copy.h"

namespace corvane::detail {

// Unsized first, then square.
template <class T>
Status CheckSquare(const BasicMatrix<T>& a) {
    if (!a.sized()) return kNotSized;
    if (a.Rows() != a.Cols()) return kNotSquare;
    return Status::Ok();
}

template <class T, class P = EliminationPolicy<T>>
Status LUOf(const BasicMatrix<T>& a, MatrixWriter<T>* L, MatrixWriter<T>* U, Buffer<std::int32_t>* permIndex,
            std::int32_t* permSign) {
    if (Status s = CheckSquare(a); !s) return s;
    const std::int32_t n = a.Rows();
    RowStore<T> work;
    Buffer<typename P::Scale> scale;
    Buffer<std::int32_t> perm, index;
    if (!CopyRows(a, &work) || !scale.Allocate(n) || !perm.Allocate(n) ||
        (permIndex != nullptr && !index.Allocate(n)))
        return Status::OutOfMemory();
    std::int32_t sign = 1;
    if (CroutDecompose<T, P>(work.data(), n, scale.data(), perm.data(), &sign) != kKernelOk) return kSingular;

    T* const* w = work.data();
    WriteOutput(L, n, n, [&](std::int32_t i, std::int32_t j) {
        return i > j ? w[i][j] : (i == j ? P::One() : P::Zero());
    });
    WriteOutput(U, n, n, [&](std::int32_t i, std::int32_t j) { return i <= j ? w[i][j] : P::Zero(); });
    if (permIndex != nullptr) {
        // Position of each row of A in P·A: the inverse of the permutation vector.
        for (std::int32_t i = 0; i < n; ++i) index[perm[i]] = i;
        permIndex->swap(index);
    }
    if (permSign != nullptr) *permSign = sign;
    return Status::Ok();
}

template <class T, class P = EliminationPolicy<T>>
Status DeterminantOf(const BasicMatrix<T>& a, T* det) {
    if (det == nullptr) return Status::NullPointer();
    if (Status s = CheckSquare(a); !s) return s;
    RowStore<T> work;
    if (!CopyRows(a, &work)) return Status::OutOfMemory();
    T value = P::Zero();
    (void)GaussDeterminant<T, P>(work.data(), a.Rows(), &value);
    *det = value;
    return Status::Ok();
}

template <class T, class P = EliminationPolicy<T>>
Status InverseOf(const BasicMatrix<T>& a, BasicMatrix<T>* result) {
    if (result == nullptr) return Status::NullPointer();
    if (Status s = CheckSquare(a); !s) return s;
    const std::int32_t n = a.Rows();
    RowStore<T> work, inverse;
    if (!CopyRows(a, &work) || !inverse.Allocate(n, n)) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i) inverse[i][i] = P::One();
    if (GaussJordanInverse<T, P>(work.data(), inverse.data(), n) != kKernelOk) return kCannotInvert;
    BasicMatrix<T> out;
    if (!out.Size(n, n).ok()) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) out.at(i, j) = inverse[i][j];
    *result = std::move(out);
    return Status::Ok();
}

template <class T, class P = EliminationPolicy<T>>
Status SolveGaussOf(const BasicMatrix<T>& a, const MatrixReader<T>* rhs, BasicMatrix<T>* result) {
    if (result == nullptr) return Status::NullPointer();
    if (Status s = CheckSquare(a); !s) return s;
    // The right-hand side is read where the checks reach it.
    if (rhs == nullptr) return Status::NullPointer();
    const std::int32_t n = a.Rows();
    if (rhs->Rows() != n || rhs->Cols() != 1) return kRightHandWrongSize;
    RowStore<T> work;
    Buffer<T> b;
    if (!CopyRows(a, &work) || !b.Allocate(n)) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i) (void)rhs->Item(i, 0, &b[i]);
    if (GaussJordanSolve<T, P>(work.data(), b.data(), n) != kKernelOk) return kCannotSolve;
    BasicMatrix<T> out;
    if (!out.Size(n, 1).ok()) return Status::OutOfMemory();
    for (std::int32_t i = 0; i < n; ++i) out.at(i, 0) = b[i];
    *result = std::move(out);
    return Status::Ok();
}

}  // namespace corvane::detail
