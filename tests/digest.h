// Cases of the cross-build result digest. Each case prints exact bits of
// results, one line per value; main runs every registered case in name order.
// ctest compares the output with tests/golden_digest.txt on every build.
//
//   CORVANE_DIGEST_CASE(lu) {
//       for (const auto& [name, a] : digest::Battery<double>()) { out.Status(name + ".lu", LU(a, ...)); ... }
//   }
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/basic_matrix.h"
#include "core/buffer.h"
#include "core/complex.h"
#include "core/errors.h"

namespace corvane::digest {

// Every NaN prints as one value: which NaN payload an operation passes on is
// the compiler's choice, not a result.
class Out {
public:
    explicit Out(std::string caseName) : case_(std::move(caseName)) {}
    void Bits(const std::string& name, double x);
    void Bits(const std::string& name, Complex z);
    void Int(const std::string& name, std::int64_t v);
    void Status(const std::string& name, corvane::Status s);
    void Index(const std::string& name, const Buffer<std::int32_t>& p);                // size and a hash
    template <class T> void Matrix(const std::string& name, const BasicMatrix<T>& m);  // shape and a hash of all bits
    // A call's status, then each output as Matrix under name.suffix (name alone for "").
    template <class T>
    void Result(const std::string& name, corvane::Status s, std::initializer_list<std::pair<const char*, const BasicMatrix<T>*>> outputs) {
        Status(name, s);
        for (const auto& [suffix, m] : outputs) Matrix(*suffix != 0 ? name + "." + suffix : name, *m);
    }

private:
    void Line(const std::string& name, const std::string& text);
    std::string case_;
};

using CaseFn = void (*)(Out&);
struct Registrar {
    Registrar(const char* name, CaseFn fn);
};

// The same pseudo-random sequence on every platform: doubles in [-1, 1).
double Next();
template <class T> T NextElement();
// A rows × cols matrix of Next() values (scaled by `scale`).
template <class T> BasicMatrix<T> Random(std::int32_t rows, std::int32_t cols, double scale = 1.0);

// The inputs every decomposition sees: 1 × 1, small, above the product's
// blocking sizes, rectangular both ways, symmetric, positive definite, exactly
// singular, rank-deficient, defective, NaN and Inf elements, huge and tiny.
template <class T> const std::vector<std::pair<std::string, BasicMatrix<T>>>& Battery();

}  // namespace corvane::digest

#define CORVANE_DIGEST_CASE(name)                                                                 \
    static void name##_digest_case(::corvane::digest::Out& out);                                  \
    static const ::corvane::digest::Registrar name##_digest_registrar(#name, name##_digest_case); \
    static void name##_digest_case(::corvane::digest::Out& out)
