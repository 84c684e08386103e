// The row-wise steps of the singular value decomposition
// (linalg/kernels/svd_steps.h), compiled for each instruction set; the widest
// one the processor allows is chosen at run time. All give the same bits.
#pragma once

#include <cstdint>

namespace corvane {

struct SvdSteps {
    // Upper bidiagonal form: w the diagonal, e the superdiagonal; returns anorm.
    double (*bidiagonalise)(double** a, std::int32_t m, std::int32_t n, double* w, double* e, double* sigma);
    // The right-hand transformations into vt = Vᵀ.
    void (*accumulateRight)(double* const* a, std::int32_t m, std::int32_t n, const double* e, double** vt);
    // The left-hand transformations into ut = Uᵀ.
    void (*accumulateLeft)(double** ut, std::int32_t m, std::int32_t n, const double* w);
    void (*rotateRows)(double* x, double* y, std::int32_t count, double c, double s);
};

const SvdSteps& ActiveSvdSteps() noexcept;
// Null where the target has no such set.
const SvdSteps* Avx2SvdSteps() noexcept;
const SvdSteps* Avx512SvdSteps() noexcept;

}  // namespace corvane
