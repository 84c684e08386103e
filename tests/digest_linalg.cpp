// Exact bits of the real and complex decompositions and solvers over the
// whole battery of inputs (a failure prints its status and no output).
#include "core/cmatrix.h"
#include "core/matrix.h"
#include "digest.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/solve.h"
#include "linalg/svd.h"

namespace corvane {
namespace {

template <class T> void Decompositions(digest::Out& out) {
    for (const auto& [name, a] : digest::Battery<T>()) {
        const std::string n = name + ".";
        BasicMatrix<T> L, U, Q, R, x;
        Buffer<std::int32_t> index;
        std::int32_t sign = 0;
        out.Result<T>(n + "lu", LU(a, &L, &U, &index, &sign), {{"L", &L}, {"U", &U}});
        out.Index(n + "lu.index", index);
        out.Int(n + "lu.sign", sign);
        T det{};
        out.Status(n + "det", Determinant(a, &det));
        out.Bits(n + "det", det);
        out.Result<T>(n + "inverse", Inverse(a, &x), {{"", &x}});
        const BasicMatrix<T> b = digest::Random<T>(a.Rows(), 1), rhs = digest::Random<T>(a.Rows(), 3, 1e3);
        x = BasicMatrix<T>();
        out.Result<T>(n + "solve_gauss", SolveGauss(a, &b, &x), {{"", &x}});
        x = BasicMatrix<T>();
        out.Result<T>(n + "solve", Solve(a, &rhs, &x), {{"", &x}});
        out.Result<T>(n + "qr", QR(a, &Q, &R), {{"Q", &Q}, {"R", &R}});
        L = BasicMatrix<T>();
        out.Result<T>(n + "cholesky", Cholesky(a, &L), {{"", &L}});
    }
}

}  // namespace

CORVANE_DIGEST_CASE(linalg_real) { Decompositions<double>(out); }
CORVANE_DIGEST_CASE(linalg_complex) { Decompositions<Complex>(out); }

// Each output alone as well as all three: the values never depend on which
// outputs are wanted, nor U on V.
CORVANE_DIGEST_CASE(linalg_svd) {
    auto run = [&out](const std::string& name, const Matrix& a) {
        Matrix U, S, V, alone;
        out.Result<double>(name + ".svd", SVD(a, &U, &S, &V), {{"U", &U}, {"S", &S}, {"V", &V}});
        Matrix* outputs[3] = {nullptr, nullptr, nullptr};
        for (int k = 0; k < 3; ++k) {
            outputs[k] = &alone;
            // clang-format off
            out.Result<double>(name + ".svd_only" + "USV"[k], SVD(a, outputs[0], outputs[1], outputs[2]), {{"", &alone}});
            // clang-format on
            outputs[k] = nullptr;
        }
    };
    for (const auto& [name, a] : digest::Battery<double>()) run(name, a);
    run("scaled_up", digest::Random<double>(5, 4, 1e100));  // scalings whose squares stay finite
    run("scaled_down", digest::Random<double>(4, 5, 1e-100));
}

}  // namespace corvane
