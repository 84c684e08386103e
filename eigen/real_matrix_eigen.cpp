// Eigen and EigenC of the real matrix over the symmetric and general kernels.
#include "eigen/eigen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/buffer.h"
#include "core/element_policy.h"
#include "core/output.h"
#include "core/row_store.h"
#include "eigen/eigen_order.h"
#include "eigen/general/kernels.h"
#include "eigen/symmetric/kernels.h"

namespace corvane {
namespace {

// Which kernel column an output column shows: column k of the vector outputs
// is the eigenvector of ordered eigenvalue k. kind 0: a real eigenvalue;
// 1: the first member of a pair (z[.][j] + i·z[.][j + 1]); 2: the second
// (its conjugate).
struct Walk {
    Buffer<std::int32_t> source;
    Buffer<std::int32_t> kind;
};

// Exact symmetry of the copy, as IsSymmetric with tolerance 0 decides it on
// the object (a NaN difference does not count against it), tested square by
// square so that the mirrored elements come from a few rows at a time.
bool ExactlySymmetric(std::int32_t n, const double* const* a) {
    constexpr std::int32_t kSquare = 32;
    for (std::int32_t i0 = 0; i0 < n; i0 += kSquare) {
        const std::int32_t i1 = std::min(i0 + kSquare, n);
        for (std::int32_t j0 = i0; j0 < n; j0 += kSquare) {
            const std::int32_t j1 = std::min(j0 + kSquare, n);
            for (std::int32_t i = i0; i < i1; ++i)
                for (std::int32_t j = std::max(j0, i + 1); j < j1; ++j)
                    if (ElementPolicy<double>::Differs(a[i][j], a[j][i], 0.0)) return false;
        }
    }
    return true;
}

// The results of one call, ready for writing.
class EigenResults {
public:
    Status Compute(const Matrix& m, bool wantVectors) {
        if (!m.sized()) return kNotSized;
        if (m.Rows() != m.Cols()) return kNotSquare;
        n_ = m.Rows();
        const std::int32_t last = n_ - 1;
        RowStore<double> a;
        Buffer<double> e, e2;
        Buffer<std::int32_t> iv;
        Buffer<SchurVectorStep> steps;
        // z only holds eigenvectors; the values paths leave it untouched.
        if ((wantVectors && (!steps.Allocate(SchurVectorStepRoom(n_)) || !z_.Allocate(n_, n_))) ||
            !a.Allocate(n_, n_) || !wr_.Allocate(n_) || !wi_.Allocate(n_) || !e.Allocate(n_) || !e2.Allocate(n_) ||
            !iv.Allocate(n_) || !order_.Allocate(n_) || !walk_.source.Allocate(n_) || !walk_.kind.Allocate(n_))
            return Status::OutOfMemory();
        // The copy is tested rather than the object: its rows were just
        // written and are still in cache, the object's may not be.
        for (std::int32_t i = 0; i < n_; ++i)
            std::memcpy(a[i], m.rows()[i], static_cast<std::size_t>(n_) * sizeof(double));
        // Exact symmetry chooses the symmetric kernel.
        const bool symmetric = ExactlySymmetric(n_, a.data());
        const KernelCode code =
            symmetric
                ? EigenSymmetric(last, a.data(), wr_.data(), wantVectors, z_.data(), e.data(), e2.data())
                : EigenGeneral(last, a.data(), wr_.data(), wi_.data(), wantVectors, z_.data(), iv.data(), steps.data());
        if (code != kKernelOk) return kEigenFailed;

        EigenOrder(n_, wr_.data(), wi_.data(), order_.data());

        // A non-zero (or NaN) imaginary part starts a pair whose conjugate
        // record is skipped; a pair never reaches past the last column.
        for (std::int32_t k = 0; k < n_;) {
            const std::int32_t j = order_[k].index;
            walk_.source[k] = j;
            if (wi_[j] != 0.0 && j < last) {
                walk_.kind[k] = 1;
                if (k < last) {
                    walk_.source[k + 1] = j;
                    walk_.kind[k + 1] = 2;
                }
                k += 2;
            } else {
                walk_.kind[k] = 0;
                k += 1;
            }
        }
        return Status::Ok();
    }

    std::int32_t n() const { return n_; }
    double Real(std::int32_t k) const { return wr_[order_[k].index]; }
    double Imag(std::int32_t k) const { return wi_[order_[k].index]; }
    // Real and imaginary parts of element i of output column k.
    double VectorReal(std::int32_t i, std::int32_t k) const { return z_[i][walk_.source[k]]; }
    double VectorImag(std::int32_t i, std::int32_t k) const {
        const std::int32_t j = walk_.source[k];
        switch (walk_.kind[k]) {
        case 1: return z_[i][j + 1];
        case 2: return -z_[i][j + 1];
        default: return 0.0;
        }
    }

private:
    std::int32_t n_ = 0;
    RowStore<double> z_;
    Buffer<double> wr_, wi_;
    Buffer<EigenOrderRecord> order_;
    Walk walk_;
};

}  // namespace

Status Eigen(const Matrix& m, MatrixOut* realValues, MatrixOut* imagValues, MatrixOut* realVectors,
             MatrixOut* imagVectors) {
    EigenResults r;
    if (Status s = r.Compute(m, realVectors != nullptr || imagVectors != nullptr); !s) return s;
    const std::int32_t n = r.n();
    WriteOutput(realValues, n, 1, [&](std::int32_t k, std::int32_t) { return r.Real(k); });
    WriteOutput(imagValues, n, 1, [&](std::int32_t k, std::int32_t) { return r.Imag(k); });
    WriteOutput(realVectors, n, n, [&](std::int32_t i, std::int32_t k) { return r.VectorReal(i, k); });
    WriteOutput(imagVectors, n, n, [&](std::int32_t i, std::int32_t k) { return r.VectorImag(i, k); });
    return Status::Ok();
}

Status EigenC(const Matrix& m, CMatrixOut* eigenvalues, CMatrixOut* eigenvectors) {
    EigenResults r;
    if (Status s = r.Compute(m, eigenvectors != nullptr); !s) return s;
    const std::int32_t n = r.n();
    WriteOutput(eigenvalues, n, 1, [&](std::int32_t k, std::int32_t) { return Complex{r.Real(k), r.Imag(k)}; });
    WriteOutput(eigenvectors, n, n, [&](std::int32_t i, std::int32_t k) {
        return Complex{r.VectorReal(i, k), r.VectorImag(i, k)};
    });
    return Status::Ok();
}

}  // namespace corvane
