#include <cstdint>
#include <cstdio>

#include "core/buffer.h"
#include "core/row_store.h"
#include "digest.h"
#include "eigen/cmatrix_eigen.h"
#include "eigen/complex_eigen.h"

namespace corvane {
namespace {

// Runs the complex eigen kernel on a and prints the code, the eigenvalues and
// (when wanted) the eigenvectors.
// NaN results are not printed: which NaN payload survives is not part of the
// contract.
void KernelBits(digest::Out& out, const char* name, const BasicMatrix<Complex>& a, bool vectors,
                std::int64_t budget = kComplexQRDefaultBudget, bool codeOnly = false) {
    const std::int32_t n = a.Rows();
    RowStore<double> ar, ai, zr, zi;
    Buffer<double> wr, wi, fv, ortr, orti;
    if (!ar.Allocate(n, n) || !ai.Allocate(n, n) || !zr.Allocate(n, n) || !zi.Allocate(n, n) || !wr.Allocate(n) ||
        !wi.Allocate(n) || !fv.Allocate(n) || !ortr.Allocate(n) || !orti.Allocate(n))
        return;
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) {
            ar[i][j] = a.at(i, j).Real;
            ai[i][j] = a.at(i, j).Imag;
        }
    const std::int32_t ierr = EigenComplexGeneral(n - 1, n - 1, ar.data(), ai.data(), wr.data(), wi.data(), vectors,
                                                  zr.data(), zi.data(), fv.data(), ortr.data(), orti.data(), budget);
    BasicMatrix<Complex> values, vecs;
    (void)values.Size(n, 1);
    (void)vecs.Size(n, n);
    for (std::int32_t i = 0; i < n; ++i) {
        values.at(i, 0) = {wr[i], wi[i]};
        for (std::int32_t j = 0; j < n; ++j) vecs.at(i, j) = {zr[i][j], zi[i][j]};
    }
    char label[64];
    std::snprintf(label, sizeof label, "%s.ierr", name);
    out.Int(label, ierr);
    if (codeOnly) return;
    std::snprintf(label, sizeof label, "%s.values", name);
    out.Matrix(label, values);
    if (vectors) {
        std::snprintf(label, sizeof label, "%s.vectors", name);
        out.Matrix(label, vecs);
    }
}

BasicMatrix<Complex> FromParts(std::int32_t n, const double* re, const double* im) {
    BasicMatrix<Complex> m;
    (void)m.Size(n, n);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) m.at(i, j) = {re[i * n + j], im[i * n + j]};
    return m;
}

}  // namespace

CORVANE_DIGEST_CASE(complex_eigen_helpers) {
    out.Bits("hypot_3_4", IterativeHypot(3.0, 4.0));
    out.Bits("hypot_1_1", IterativeHypot(1.0, 1.0));
    out.Bits("hypot_big", IterativeHypot(1e300, 3e299));
    out.Bits("hypot_small", IterativeHypot(-2.5e-310, 7e-311));
    double yr, yi;
    ComplexSqrtBranch(-3.0, -4.0, &yr, &yi);
    out.Bits("sqrt_m3_m4", Complex{yr, yi});
    ComplexSqrtBranch(0.5, 2.0, &yr, &yi);
    out.Bits("sqrt_half_2", Complex{yr, yi});
    ComplexSqrtBranch(-1e-3, 1e-5, &yr, &yi);
    out.Bits("sqrt_small", Complex{yr, yi});
}

CORVANE_DIGEST_CASE(complex_eigen_random) {
    for (std::int32_t n : {2, 5, 12, 24}) {
        const BasicMatrix<Complex> a = digest::RandomCMatrix(n, n);
        char name[32];
        std::snprintf(name, sizeof name, "n%d_vectors", n);
        KernelBits(out, name, a, true);
        std::snprintf(name, sizeof name, "n%d_values", n);
        KernelBits(out, name, a, false);
    }
    // A real matrix stored as complex, with complex conjugate eigenvalues.
    BasicMatrix<Complex> r = digest::RandomCMatrix(9, 9, 100.0);
    for (std::int32_t i = 0; i < 9; ++i)
        for (std::int32_t j = 0; j < 9; ++j) r.at(i, j).Imag = 0.0;
    KernelBits(out, "real9", r, true);
}

CORVANE_DIGEST_CASE(complex_eigen_special) {
    const double zr2[] = {0, 1, 0, 1}, zi2[] = {0, 0, 0, 0};
    KernelBits(out, "zero_first", FromParts(2, zr2, zi2), true);
    const double rot[] = {0, -1, 1, 0};
    KernelBits(out, "rotation", FromParts(2, rot, zi2), true);
    const double jr[] = {2, 1, 0, 0, 2, 1, 0, 0, 2}, ji[] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    KernelBits(out, "jordan", FromParts(3, jr, ji), true);
    const double one_r[] = {2.5}, one_i[] = {-1.5};
    KernelBits(out, "one", FromParts(1, one_r, one_i), true);
    KernelBits(out, "budget", digest::RandomCMatrix(6, 6), true, 4);
    const double nan = __builtin_nan("");
    const double nr[] = {nan, 1, 2, 3}, ni[] = {0, 0, nan, 0};
    KernelBits(out, "nan_values", FromParts(2, nr, ni), false, kComplexQRDefaultBudget, true);
    KernelBits(out, "nan_vectors", FromParts(2, nr, ni), true, kComplexQRDefaultBudget, true);
}

CORVANE_DIGEST_CASE(cmatrix_eigenc) {
    for (std::int32_t n : {1, 4, 10}) {
        const BasicMatrix<Complex> a = digest::RandomCMatrix(n, n, 10.0);
        BasicMatrix<Complex> values, vectors, valuesOnly;
        char name[5][32];
        const char* suffix[5] = {"status", "values", "vectors", "values_only_status", "values_only"};
        for (int k = 0; k < 5; ++k) std::snprintf(name[k], sizeof name[k], "n%d_%s", n, suffix[k]);
        out.Status(name[0], EigenC(a, &values, &vectors));
        out.Matrix(name[1], values);
        out.Matrix(name[2], vectors);
        out.Status(name[3], EigenC(a, &valuesOnly, nullptr));
        out.Matrix(name[4], valuesOnly);
    }
    const double zr[] = {1, 0, 0, 0, 0, -5, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
    const double zi[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5};
    BasicMatrix<Complex> values, vectors;
    out.Status("diagonal", EigenC(FromParts(4, zr, zi), &values, &vectors));
    out.Matrix("diagonal_values", values);
    out.Matrix("diagonal_vectors", vectors);
    BasicMatrix<Complex> wide;
    (void)wide.Size(2, 3);
    out.Status("wide", EigenC(wide, &values, nullptr));
}

}  // namespace corvane
