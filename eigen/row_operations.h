// Element-wise operations on contiguous runs of doubles: the inner loops the
// eigen kernels spend their time in, once their column operations have been
// turned into row operations. Each element sees exactly the scalar operations
// written beside it, in that order, so every vector width gives the same bits;
// the widest set the processor has (core/instruction_set.h) is used.
#pragma once

#include <cstdint>

namespace corvane {

struct RowOperations {
    // y = y + x·s
    void (*addScaled)(double* y, const double* x, double s, std::int32_t n);
    // y[q][i] = y[q][i] + x[k][first + i]·s[q][k] for q < 4, i < n, each
    // element summed over k = k0..k1 in increasing order: four sums over the
    // same rows, which are read once
    void (*addRowTerms4)(double* const* y, const double* const* x, std::int32_t first, const double* const* s,
                         std::int32_t k0, std::int32_t k1, std::int32_t n);
    // y = y − x·s
    void (*subtractScaled)(double* y, const double* x, double s, std::int32_t n);
    // y = y − (u·a + v·b)
    void (*subtractTwo)(double* y, const double* u, double a, const double* v, double b, std::int32_t n);
    // One pass of the Householder tridiagonalisation over rows 0..m of a lower
    // triangle (row k holds columns 0..k): with update, element (k, j) first
    // loses w[j]·p[k] + p[j]·w[k]; then, unless q is null, q = A·u for the
    // symmetric A so stored, q[k] summed in increasing column order: row k's
    // own elements, then column k's below the diagonal.
    void (*reduceMultiplyLower)(double* const* a, std::int32_t m, const double* w, const double* p, const double* u,
                                double* q, bool update);
    // (x, y) = (c·x − s·y, s·x + c·y), the rotation of the QL sweep
    void (*rotate)(double* x, double* y, double c, double s, std::int32_t n);
    // (x, y) = (c·x + s·y, c·y − s·x), the rotation that splits a real pair
    void (*rotatePair)(double* x, double* y, double c, double s, std::int32_t n);
    // v = p·x + q·y (+ r·z); x −= v; y −= v·qq; z −= v·rr: a reflector of
    // the double-shift QR step applied across rows (the column modification)
    void (*reflect3)(double* x, double* y, double* z, double p, double q, double r, double qq, double rr,
                     std::int32_t n);
    void (*reflect2)(double* x, double* y, double p, double q, double qq, std::int32_t n);
    // v = x + qq·y (+ rr·z); x −= v·p; y −= v·q; z −= v·r: the same reflector
    // along rows (the row modification)
    void (*reflectRows3)(double* x, double* y, double* z, double p, double q, double r, double qq, double rr,
                         std::int32_t n);
    void (*reflectRows2)(double* x, double* y, double p, double q, double qq, std::int32_t n);
    // Successive steps of one sweep in one pass: step s (s = 0..count − 1)
    // is reflect3 (or reflectRows3) on rows w[s], w[s + 1], w[s + 2] over
    // columns first..first + n − 1, with p, q, r, qq, rr at c + s·stride.
    // Each element is loaded and stored once for all the steps it takes.
    void (*reflect3Chain)(double* const* w, std::int32_t first, std::int32_t n, const double* c, std::int32_t stride,
                          std::int32_t count);
    void (*reflectRows3Chain)(double* const* w, std::int32_t first, std::int32_t n, const double* c,
                              std::int32_t stride, std::int32_t count);
    // t[c·ld + i] = rows[i][first + c], and back: columns first..first +
    // width − 1 of count rows copied transposed (values only moved)
    void (*gatherTransposed)(double* t, std::int32_t ld, const double* const* rows, std::int32_t first,
                             std::int32_t count, std::int32_t width);
    void (*scatterTransposed)(const double* t, std::int32_t ld, double* const* rows, std::int32_t first,
                              std::int32_t count, std::int32_t width);
    // acc[q] = acc[q] + y[r]·rows[q][r] for q < 8, r = first..last in
    // increasing order, skipping each r with takes[r] = 0 (elmhes's columns)
    void (*addColumnTerms8)(double* acc, const double* const* rows, const double* y, const double* takes,
                            std::int32_t first, std::int32_t last);
    // The complex kernels keep real and imaginary parts in separate runs; u,
    // x, y, z below are complex elements (ur, ui the parts of a scalar u).
    // s = s + ū·x: sr = sr + (ur·xr + ui·xi); si = si + (ur·xi − ui·xr)
    void (*addConjugateProduct)(double* sr, double* si, const double* xr, const double* xi, double ur, double ui,
                                std::int32_t n);
    // s = s + u·x: sr = sr + (ur·xr − ui·xi); si = si + (ur·xi + ui·xr)
    void (*addProduct)(double* sr, double* si, const double* xr, const double* xi, double ur, double ui,
                       std::int32_t n);
    // addProduct along eight rows at once: for q < 8 and j = last down to
    // first, sr[q] = sr[q] + (ur[j]·xr[q][j] − ui[j]·xi[q][j]) and si[q] =
    // si[q] + (ur[j]·xi[q][j] + ui[j]·xr[q][j])
    void (*addRowProducts8)(double* sr, double* si, const double* const* xr, const double* const* xi, const double* ur,
                            const double* ui, std::int32_t first, std::int32_t last);
    // x = x + s·u: xr = xr + (sr·ur − si·ui); xi = xi + (sr·ui + si·ur)
    void (*addProductWith)(double* xr, double* xi, const double* sr, const double* si, double ur, double ui,
                           std::int32_t n);
    // x = x − s·u: xr = xr − sr·ur + si·ui; xi = xi − sr·ui − si·ur
    void (*subtractProductWith)(double* xr, double* xi, const double* sr, const double* si, double ur, double ui,
                                std::int32_t n);
    // x = x − f·ū along a row: xr = xr − fr·ur − fi·ui; xi = xi + fr·ui − fi·ur
    void (*subtractScaledConjugate)(double* xr, double* xi, const double* ur, const double* ui, double fr, double fi,
                                    std::int32_t n);
    // s = s + z·x: sr = sr + ((zr·xr) − (xi·zi)); si = si + ((xr·zi) + (xi·zr))
    void (*addComplexProduct)(double* sr, double* si, const double* xr, const double* xi, double zr, double zi,
                              std::int32_t n);
    // The column step of the complex QR iteration on the pair (y, z) with
    // the real s: yr = xr·yr − xi·yi + s·zr; yi = xr·yi + xi·yr + s·zi;
    // zr = xr·zr + xi·zi − s·yr; zi = xr·zi − xi·zr − s·yi (old y, z)
    void (*complexColumnStep)(double* yr, double* yi, double* zr, double* zi, double xr, double xi, double s,
                              std::int32_t n);
    // Its row step: yr = xr·yr + xi·yi + s·zr; yi = xr·yi − xi·yr + s·zi;
    // zr = xr·zr − xi·zi − s·yr; zi = xr·zi + xi·zr − s·yi (old y, z)
    void (*complexRowStep)(double* yr, double* yi, double* zr, double* zi, double xr, double xi, double s,
                           std::int32_t n);
    // y = u·y: yr = ur·yr − ui·yi; yi = ur·yi + ui·yr
    void (*complexScale)(double* yr, double* yi, double ur, double ui, std::int32_t n);
    // y = ū·y: yr = ur·yr + ui·yi; yi = ur·yi − ui·yr
    void (*complexScaleConjugate)(double* yr, double* yi, double ur, double ui, std::int32_t n);
    // complexColumnStep (or, with rowSteps, complexRowStep) on rows 0 and 1,
    // then on rows 1 and 2, up to rows count − 1 and count, columns first..
    // first + n − 1, with the coefficients (xr, xi, s) of step k at coef[k ·
    // stride]: each element takes the steps in order, the row between two
    // steps kept in registers.
    void (*complexStepRun)(double* const* rr, double* const* ri, std::int32_t first, std::int32_t n, const double* coef,
                           std::int32_t stride, std::int32_t count, bool rowSteps);
};

// The operations of the instruction set in use.
const RowOperations& ActiveRowOperations() noexcept;

namespace row_operations_detail {
// The tables of the wider sets; null where the build has none.
const RowOperations* Avx2RowOperations() noexcept;
const RowOperations* Avx512RowOperations() noexcept;
}  // namespace row_operations_detail

}  // namespace corvane
