// Cases of the cross-build result digest. Each case prints exact bits of
// results; main runs every registered case in name order.
//
//   CORVANE_DIGEST_CASE(lu_random) {
//       corvane::Matrix a = corvane::digest::RandomMatrix(6, 6);
//       ... out.Bits("det", d); out.Matrix("L", l); out.Status("lu", s);
//   }
#pragma once

#include <cstdint>

#include "complex/complex.h"
#include "core/basic_matrix.h"
#include "core/errors.h"

namespace corvane::digest {

class Out {
public:
    explicit Out(const char* caseName) : case_(caseName) {}
    void Bits(const char* name, double x);
    void Bits(const char* name, Complex z);
    void Int(const char* name, std::int64_t v);
    void Status(const char* name, corvane::Status s);
    void Matrix(const char* name, const BasicMatrix<double>& m);   // shape and a hash of all bits
    void Matrix(const char* name, const BasicMatrix<Complex>& m);

private:
    const char* case_;
};

using CaseFn = void (*)(Out&);

struct Registrar {
    Registrar(const char* name, CaseFn fn);
};

// The same pseudo-random sequence on every platform: doubles in [-1, 1).
double Next();
// A rows × cols matrix of Next() values (scaled by `scale`).
BasicMatrix<double> RandomMatrix(std::int32_t rows, std::int32_t cols, double scale = 1.0);
BasicMatrix<Complex> RandomCMatrix(std::int32_t rows, std::int32_t cols, double scale = 1.0);

}  // namespace corvane::digest

#define CORVANE_DIGEST_CASE(name)                                                     \
    static void name##_digest_case(::corvane::digest::Out& out);                      \
    static const ::corvane::digest::Registrar name##_digest_registrar(#name, name##_digest_case); \
    static void name##_digest_case(::corvane::digest::Out& out)
