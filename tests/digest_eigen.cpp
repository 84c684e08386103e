// Bits of the real eigen kernels: both symmetric paths and both general paths
// on random matrices, including complex pairs and a defective case.
#include <string>

#include "core/buffer.h"
#include "digest.h"
#include "eigen/general_kernels.h"
#include "eigen/symmetric_kernels.h"

namespace corvane {
namespace {

// "name.part" with the path (values or vectors) in it.
std::string Label(const char* name, std::int32_t vectors, const char* part) {
    return std::string(name) + (vectors ? ".vectors." : ".values.") + part;
}

BasicMatrix<double> Column(const Buffer<double>& v) {
    BasicMatrix<double> m;
    (void)m.Size(static_cast<std::int32_t>(v.size()), 1);
    for (std::int32_t i = 0; i < m.Rows(); ++i) m.at(i, 0) = v[i];
    return m;
}

void Symmetric(digest::Out& out, const char* name, std::int32_t n, double scale) {
    BasicMatrix<double> a = digest::RandomMatrix(n, n, scale);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < i; ++j) a.at(j, i) = a.at(i, j);
    for (std::int32_t vectors = 0; vectors <= 1; ++vectors) {
        BasicMatrix<double> copy, z;
        (void)a.Clone(&copy);
        (void)z.Size(n, n);
        Buffer<double> w, e, e2;
        if (!w.Allocate(n) || !e.Allocate(n) || !e2.Allocate(n)) return;
        std::int32_t ierr = -1;
        EigenSymmetric(n - 1, n - 1, copy.rows(), w.data(), vectors, z.rows(), e.data(), e2.data(), &ierr);
        out.Int(Label(name, vectors, "ierr").c_str(), ierr);
        out.Matrix(Label(name, vectors, "w").c_str(), Column(w));
        if (vectors) {
            out.Matrix(Label(name, vectors, "z").c_str(), z);
        } else {
            out.Matrix(Label(name, vectors, "a").c_str(), copy);  // the reflectors left in a
        }
    }
}

void General(digest::Out& out, const char* name, BasicMatrix<double>& a) {
    const std::int32_t n = a.Rows();
    for (std::int32_t vectors = 0; vectors <= 1; ++vectors) {
        BasicMatrix<double> copy, z;
        (void)a.Clone(&copy);
        (void)z.Size(n, n);
        Buffer<double> wr, wi, fv;
        Buffer<std::int32_t> iv;
        if (!wr.Allocate(n) || !wi.Allocate(n) || !fv.Allocate(n) || !iv.Allocate(n)) return;
        std::int32_t ierr = -1;
        EigenGeneral(n - 1, n - 1, copy.rows(), wr.data(), wi.data(), vectors, z.rows(), iv.data(), fv.data(),
                     &ierr);
        out.Int(Label(name, vectors, "ierr").c_str(), ierr);
        out.Matrix(Label(name, vectors, "wr").c_str(), Column(wr));
        out.Matrix(Label(name, vectors, "wi").c_str(), Column(wi));
        out.Matrix(Label(name, vectors, "schur").c_str(), copy);
        if (vectors) out.Matrix(Label(name, vectors, "z").c_str(), z);
    }
}

}  // namespace

CORVANE_DIGEST_CASE(eigen_symmetric) {
    Symmetric(out, "n1", 1, 1.0);
    Symmetric(out, "n2", 2, 1.0);
    Symmetric(out, "n7", 7, 1.0);
    Symmetric(out, "n24", 24, 1e3);
    Symmetric(out, "n60", 60, 1.0);
    Symmetric(out, "tiny", 9, 1e-200);
}

CORVANE_DIGEST_CASE(eigen_general) {
    const std::int32_t sizes[] = {1, 2, 3, 8, 25, 60};
    for (std::int32_t n : sizes) {
        BasicMatrix<double> a = digest::RandomMatrix(n, n);
        General(out, ("random" + std::to_string(n)).c_str(), a);
    }
    // Jordan block of 2: zero divisors perturbed in the back-substitution.
    BasicMatrix<double> j;
    (void)j.Size(6, 6);
    for (std::int32_t i = 0; i < 6; ++i) {
        j.at(i, i) = 2.0;
        if (i < 5) j.at(i, i + 1) = 1.0;
    }
    General(out, "jordan", j);
    // A companion matrix: only complex pairs and one real root.
    BasicMatrix<double> c = digest::RandomMatrix(9, 9, 0.0);
    for (std::int32_t i = 1; i < 9; ++i) c.at(i, i - 1) = 1.0;
    for (std::int32_t i = 0; i < 9; ++i) c.at(i, 8) = digest::Next();
    General(out, "companion", c);
}

}  // namespace corvane

#include "eigen/real_eigen.h"

namespace corvane {

CORVANE_DIGEST_CASE(eigen_methods) {
    BasicMatrix<double> general = digest::RandomMatrix(12, 12);
    BasicMatrix<double> sym = digest::RandomMatrix(10, 10);
    for (std::int32_t i = 0; i < 10; ++i)
        for (std::int32_t j = 0; j < i; ++j) sym.at(j, i) = sym.at(i, j);
    for (BasicMatrix<double>* m : {&general, &sym}) {
        BasicMatrix<double> rv, iv, rvec, ivec;
        out.Status("eigen", Eigen(*m, &rv, &iv, &rvec, &ivec));
        out.Matrix("real_values", rv);
        out.Matrix("imag_values", iv);
        out.Matrix("real_vectors", rvec);
        out.Matrix("imag_vectors", ivec);
        BasicMatrix<Complex> cv, cvec;
        out.Status("eigenc", EigenC(*m, &cv, &cvec));
        out.Matrix("values", cv);
        out.Matrix("vectors", cvec);
    }
}

}  // namespace corvane
