#include "linalg/lu.h"

#include "core/output.h"
#include "core/row_store.h"
#include "linalg/kernel_codes.h"
#include "linalg/kernels/elimination_policy.h"
#include "linalg/kernels/lu.h"
#include "linalg/operands.h"

namespace corvane {
namespace {

template <class T, class P = EliminationPolicy<T>>
Status LUOf(const BasicMatrix<T>& a, MatrixWriter<T>* L, MatrixWriter<T>* U, Buffer<std::int32_t>* permIndex,
            std::int32_t* permSign) {
    if (Status s = CheckSquare(a); !s) return s;
    const std::int32_t n = a.Rows();
    RowStore<T> work;
    Buffer<typename P::Scale> scale;
    Buffer<std::int32_t> perm, index;
    ProductWorkspace<T> products;
    if (!CopyRows(a, &work) || !scale.Allocate(n) || !perm.Allocate(n) ||
        (permIndex != nullptr && !index.Allocate(n)) || !ReserveCroutProducts(&products, n))
        return Status::OutOfMemory();
    std::int32_t sign = 1;
    if (CroutDecompose<T, P>(work.data(), n, scale.data(), perm.data(), &sign, products) != kKernelOk) return kSingular;

    T* const* w = work.data();
    WriteOutput(L, n, n,
                [&](std::int32_t i, std::int32_t j) { return i > j ? w[i][j] : (i == j ? P::One() : P::Zero()); });
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

}  // namespace

Status LU(const Matrix& a, MatrixOut* L, MatrixOut* U, Buffer<std::int32_t>* permIndex, std::int32_t* permSign) {
    return LUOf(a, L, U, permIndex, permSign);
}

Status LU(const CMatrix& a, CMatrixOut* L, CMatrixOut* U, Buffer<std::int32_t>* permIndex, std::int32_t* permSign) {
    return LUOf(a, L, U, permIndex, permSign);
}

Status Determinant(const Matrix& a, double* det) { return DeterminantOf(a, det); }

Status Determinant(const CMatrix& a, Complex* det) { return DeterminantOf(a, det); }

}  // namespace corvane
