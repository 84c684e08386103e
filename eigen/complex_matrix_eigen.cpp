// EigenC of the complex matrix over the complex eigen kernel.
#include "eigen/eigen.h"

#include <cmath>

#include "core/buffer.h"
#include "core/output.h"
#include "core/row_store.h"
#include "eigen/complex/kernels.h"
#include "eigen/eigen_order.h"

namespace corvane {

Status EigenC(const CMatrix& a, CMatrixOut* eigenvalues, CMatrixOut* eigenvectors) {
    if (!a.sized()) return kNotSized;
    if (a.Rows() != a.Cols()) return kNotSquare;
    const std::int32_t n = a.Rows();
    const std::int32_t N = n - 1;
    const bool wantVectors = eigenvectors != nullptr;

    RowStore<double> ar, ai, zr, zi;
    Buffer<double> wr, wi, ortr, orti;
    Buffer<EigenOrderRecord> order;
    if (!ar.Allocate(n, n) || !ai.Allocate(n, n) || !wr.Allocate(n) || !wi.Allocate(n) || !ortr.Allocate(n) ||
        !orti.Allocate(n) || !order.Allocate(n))
        return Status::OutOfMemory();
    // The vectors are not stored when they are not wanted.
    Buffer<ComplexSweepStep> steps;
    if (wantVectors && (!zr.Allocate(n, n) || !zi.Allocate(n, n) || !steps.Allocate(ComplexSweepStepRoom(n))))
        return Status::OutOfMemory();

    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) {
            ar[i][j] = a.at(i, j).Real;
            ai[i][j] = a.at(i, j).Imag;
        }

    if (EigenComplexGeneral(N, ar.data(), ai.data(), wr.data(), wi.data(), wantVectors, zr.data(), zi.data(),
                            ortr.data(), orti.data(), steps.data()) != kKernelOk)
        return kEigenFailed;

    EigenOrder(n, wr.data(), wi.data(), order.data());
    WriteOutput(eigenvalues, n, 1, [&](std::int32_t k, std::int32_t) {
        const std::int32_t j = order[k].index;
        return Complex{wr[j], wi[j]};
    });
    WriteOutput(eigenvectors, n, n, [&](std::int32_t i, std::int32_t k) {
        const std::int32_t j = order[k].index;
        return Complex{zr[i][j], zi[i][j]};
    });
    return Status::Ok();
}

}  // namespace corvane
