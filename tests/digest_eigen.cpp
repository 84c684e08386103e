// Exact bits of every eigen path over the battery: Eigen and EigenC of the
// real matrix (symmetric and general kernels, values alone and with vectors)
// and EigenC of the complex matrix; then the iteration budgets run out in the
// kernels, and the scalar helpers of the complex kernel.
#include "core/row_store.h"
#include "digest.h"
#include "eigen/complex/kernels.h"
#include "eigen/eigen.h"
#include "eigen/general/kernels.h"

namespace corvane {

CORVANE_DIGEST_CASE(eigen_real) {
    for (const auto& [name, a] : digest::Battery<double>()) {
        const std::string n = name + ".";
        Matrix rv, iv, rvec, ivec;
        out.Result<double>(n + "eigen", Eigen(a, &rv, &iv, &rvec, &ivec),
                           {{"real_values", &rv}, {"imag_values", &iv}, {"real_vectors", &rvec}, {"imag_vectors", &ivec}});
        Matrix rOnly, iOnly;
        out.Result<double>(n + "eigen_values", Eigen(a, &rOnly, &iOnly, nullptr, nullptr), {{"real", &rOnly}, {"imag", &iOnly}});
        CMatrix values, vectors, valuesOnly;
        out.Result<Complex>(n + "eigenc", EigenC(a, &values, &vectors), {{"values", &values}, {"vectors", &vectors}});
        out.Result<Complex>(n + "eigenc_values", EigenC(a, &valuesOnly, nullptr), {{"", &valuesOnly}});
    }
}

CORVANE_DIGEST_CASE(eigen_complex) {
    for (const auto& [name, a] : digest::Battery<Complex>()) {
        CMatrix values, vectors, valuesOnly;
        out.Result<Complex>(name + ".eigenc", EigenC(a, &values, &vectors), {{"values", &values}, {"vectors", &vectors}});
        out.Result<Complex>(name + ".eigenc_values", EigenC(a, &valuesOnly, nullptr), {{"", &valuesOnly}});
    }
}

// A budget of 4 iterations in all leaves a random 6 × 6 matrix unfinished.
CORVANE_DIGEST_CASE(eigen_budget) {
    const std::int32_t n = 6;
    const CMatrix a = digest::Random<Complex>(n, n);
    RowStore<double> ar, ai, zr, zi, h, z;
    Buffer<double> wr, wi, ortr, orti;
    Buffer<std::int32_t> iv;
    if (!ar.Allocate(n, n) || !ai.Allocate(n, n) || !zr.Allocate(n, n) || !zi.Allocate(n, n) || !h.Allocate(n, n) || !z.Allocate(n, n) ||
        !wr.Allocate(n) || !wi.Allocate(n) || !ortr.Allocate(n) || !orti.Allocate(n) || !iv.Allocate(n))
        return;
    for (int vectors = 0; vectors < 2; ++vectors) {
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j < n; ++j) {
                ar[i][j] = h[i][j] = a.at(i, j).Real;
                ai[i][j] = a.at(i, j).Imag;
            }
        const std::string v = vectors ? "vectors." : "values.";
        const std::int32_t N = n - 1;
        std::int32_t unfinished = 0;  // the eigenvalue still sought when the budget ran out
        ComplexHessenbergReduce(N, 0, N, ar.data(), ai.data(), ortr.data(), orti.data());
        if (vectors)
            ComplexQRVectors(N, 0, N, ortr.data(), orti.data(), ar.data(), ai.data(), wr.data(), wi.data(), zr.data(), zi.data(), 4, &unfinished);
        else ComplexQRValues(N, 0, N, ar.data(), ai.data(), wr.data(), wi.data(), 4, &unfinished);
        out.Int("complex." + v + "ierr", unfinished);
        for (std::int32_t i = 0; i < n; ++i) out.Bits("complex." + v + std::to_string(i), Complex{wr[i], wi[i]});
        unfinished = 0;
        HessenbergReduce(N, 0, N, h.data(), iv.data(), ortr.data(), orti.data());
        if (vectors) {
            HessenbergTransform(N, 0, N, h.data(), iv.data(), z.data());
            HessenbergQRVectors(N, 0, N, h.data(), wr.data(), wi.data(), z.data(), 4, &unfinished);
        } else {
            HessenbergQRValues(N, 0, N, h.data(), wr.data(), wi.data(), 4, &unfinished);
        }
        out.Int("real." + v + "ierr", unfinished);
        for (std::int32_t i = 0; i < n; ++i) out.Bits("real." + v + std::to_string(i), Complex{wr[i], wi[i]});
    }
}

CORVANE_DIGEST_CASE(eigen_helpers) {
    const double pairs[][2] = {{3, 4}, {1, 1}, {1e300, 3e299}, {-2.5e-310, 7e-311}, {0, 0}, {-3, -4}, {0.5, 2}, {-1e-3, 1e-5}, {-4, 0}, {0, -9}};
    for (const auto& p : pairs) {
        const std::string arg = std::to_string(p[0]) + "," + std::to_string(p[1]);
        out.Bits("hypot(" + arg + ")", IterativeHypot(p[0], p[1]));
        double yr, yi;
        ComplexSqrtBranch(p[0], p[1], &yr, &yi);
        out.Bits("sqrt(" + arg + ")", Complex{yr, yi});
    }
}

}  // namespace corvane
