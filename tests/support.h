// The one support header of the native tests: dense matrices of either
// element type with reference arithmetic in std::complex (independent of the
// product's Complex operators), seeded random kinds, bit equality, a recording
// output, host-array and permutation-index doubles, an allocation guard.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/allocation.h"
#include "core/arithmetic.h"
#include "core/array_conversion.h"
#include "core/comparisons.h"
#include "core/global_functions.h"
#include "core/normalize.h"
#include "core/random_fill.h"
#include "core/sorting.h"
#include "core/text_output.h"
#include "eigen/eigen.h"
#include "linalg/cholesky.h"
#include "linalg/inverse.h"
#include "linalg/lu.h"
#include "linalg/qr.h"
#include "linalg/solve.h"
#include "linalg/svd.h"

#ifndef CORVANE_TEST_PRINTS_COMPLEX
#define CORVANE_TEST_PRINTS_COMPLEX
namespace corvane {
inline std::ostream& operator<<(std::ostream& os, const Complex& c) { return os << "(" << c.Real << ", " << c.Imag << ")"; }
}  // namespace corvane
#endif

namespace corvane::support {

using I = std::int32_t;
using Cx = std::complex<double>;
inline constexpr double kEps = std::numeric_limits<double>::epsilon();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

inline Cx Wide(double x) { return {x, 0.0}; }
inline Cx Wide(Complex x) { return {x.Real, x.Imag}; }
template <class T> T Narrow(Cx x) {
    if constexpr (std::is_same_v<T, double>) return x.real();
    else return Complex{x.real(), x.imag()};
}
inline std::uint64_t Bits(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}
// Same bits, so -0.0 and NaN payloads count.
inline bool SameBits(double a, double b) { return Bits(a) == Bits(b); }
inline bool SameBits(Complex a, Complex b) { return SameBits(a.Real, b.Real) && SameBits(a.Imag, b.Imag); }

// Calls f(i, j) for every (i, j) of a rows × cols shape, row by row.
template <class F> void Each(I rows, I cols, F f) {
    for (I i = 0; i < rows; ++i)
        for (I j = 0; j < cols; ++j) f(i, j);
}

// A dense rows × cols matrix, row by row; indexes are checked.
template <class T> struct Dense {
    I rows = 0, cols = 0;
    std::vector<T> data;
    Dense() = default;
    Dense(I r, I c) : rows(r), cols(c), data(static_cast<std::size_t>(r) * c, T{}) {}
    Dense(std::initializer_list<std::initializer_list<T>> init) : rows(I(init.size())), cols(I(init.begin()->size())) {
        for (const auto& row : init) data.insert(data.end(), row.begin(), row.end());
    }
    T& operator()(I i, I j) { return data.at(static_cast<std::size_t>(i) * cols + j); }
    const T& operator()(I i, I j) const { return data.at(static_cast<std::size_t>(i) * cols + j); }
};

template <class T> BasicMatrix<T> ToMatrix(const Dense<T>& d) {
    BasicMatrix<T> m;
    EXPECT_TRUE(m.Size(d.rows, d.cols).ok());
    Each(d.rows, d.cols, [&](I i, I j) { m.at(i, j) = d(i, j); });
    return m;
}
// Every element through the public Item get; an unsized matrix gives no
// elements (a count given alone is kept).
template <class T> Dense<T> ToDense(const MatrixReader<T>& m) {
    Dense<T> d(m.Rows(), m.Cols());
    Each(d.rows, d.cols, [&](I i, I j) { EXPECT_TRUE(m.Item(i, j, &d(i, j)).ok()); });
    return d;
}
// A matrix of either element type from real values.
template <class T> BasicMatrix<T> Make(std::initializer_list<std::initializer_list<double>> rows) {
    const Dense<double> d(rows);
    Dense<T> t(d.rows, d.cols);
    std::transform(d.data.begin(), d.data.end(), t.data.begin(), [](double x) { return Narrow<T>(x); });
    return ToMatrix(t);
}
template <class T> BasicMatrix<T> Copy(const BasicMatrix<T>& m) {
    BasicMatrix<T> c;
    EXPECT_TRUE(m.Clone(&c).ok());
    return c;
}

// Same shape and the same bits in every element.
template <class T> testing::AssertionResult SameBits(const Dense<T>& a, const Dense<T>& b) {
    if (a.rows != b.rows || a.cols != b.cols) return ::testing::AssertionFailure() << a.rows << "x" << a.cols << " vs " << b.rows << "x" << b.cols;
    for (std::size_t k = 0; k < a.data.size(); ++k)
        if (!SameBits(a.data[k], b.data[k])) return ::testing::AssertionFailure() << "element " << k << ": " << a.data[k] << " vs " << b.data[k];
    return ::testing::AssertionSuccess();
}
template <class T> testing::AssertionResult SameBits(const BasicMatrix<T>& a, const BasicMatrix<T>& b) { return SameBits(ToDense(a), ToDense(b)); }

template <class T> Dense<T> Identity(I n) {
    Dense<T> d(n, n);
    for (I i = 0; i < n; ++i) d(i, i) = Narrow<T>(1.0);
    return d;
}
template <class T> Dense<T> Multiply(const Dense<T>& a, const Dense<T>& b) {
    Dense<T> c(a.rows, b.cols);
    Each(a.rows, b.cols, [&](I i, I j) {
        Cx s = 0.0;
        for (I k = 0; k < a.cols; ++k) s += Wide(a(i, k)) * Wide(b(k, j));
        c(i, j) = Narrow<T>(s);
    });
    return c;
}
// The plain transpose, or the conjugate one.
template <class T> Dense<T> Transpose(const Dense<T>& a, bool conjugate = false) {
    Dense<T> t(a.cols, a.rows);
    Each(a.rows, a.cols, [&](I i, I j) { t(j, i) = Narrow<T>(conjugate ? std::conj(Wide(a(i, j))) : Wide(a(i, j))); });
    return t;
}
// Frobenius norm of a − b (infinite when the shapes differ), and of a.
template <class T> double Distance(const Dense<T>& a, const Dense<T>& b) {
    if (a.rows != b.rows || a.cols != b.cols) return kInf;
    double s = 0.0;
    for (std::size_t k = 0; k < a.data.size(); ++k) s += std::norm(Wide(a.data[k]) - Wide(b.data[k]));
    return std::sqrt(s);
}
template <class T> double Norm(const Dense<T>& a) { return Distance(a, Dense<T>(a.rows, a.cols)); }
// ‖A·X − B‖ / (‖A‖·‖X‖ + ‖B‖): a few eps for a backward-stable solve, and for
// a factorisation B = F·G given as Residual(F, G, B).
template <class T> double Residual(const Dense<T>& a, const Dense<T>& x, const Dense<T>& b) {
    const double scale = Norm(a) * Norm(x) + Norm(b);
    return Distance(Multiply(a, x), b) / (scale > 0.0 ? scale : 1.0);
}
// ‖QᵀQ − I‖ (QᴴQ when conjugate) over the columns of q.
template <class T> double OrthogonalityError(const Dense<T>& q, bool conjugate = false) {
    return Distance(Multiply(Transpose(q, conjugate), q), Identity<T>(q.cols));
}

// Seeded random matrices, parts uniform in [-1, 1), then: WellConditioned
// plus n on the diagonal; Symmetric and Spd (B·Bᵀ + n·I) mirrored exactly,
// plain not Hermitian; RankDeficient of rank max(1, min(m, n) / 2); Defective
// one Jordan block (ones on the diagonal, zero below); Huge and Tiny scaled by
// 2^±500; Graded row i by 2^(40·(i mod 7) − 120). Symmetric, Spd, Defective are n × n.
enum class Kind { Random, WellConditioned, Symmetric, Spd, RankDeficient, Defective, Zero, Huge, Tiny, Graded };
inline constexpr Kind kAllKinds[] = {Kind::Random,        Kind::WellConditioned, Kind::Symmetric, Kind::Spd,
                                     Kind::RankDeficient, Kind::Defective,       Kind::Zero,      Kind::Huge,
                                     Kind::Tiny,          Kind::Graded};

template <class T> Dense<T> RandomDense(std::mt19937_64& rng, I m, I n, Kind kind = Kind::Random) {
    if (kind == Kind::Symmetric || kind == Kind::Spd || kind == Kind::Defective) m = n;
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Dense<T> a(m, n);
    for (T& x : a.data) {
        const double re = u(rng);
        x = Narrow<T>(std::is_same_v<T, double> ? Cx(re) : Cx(re, u(rng)));
    }
    // clang-format off
    const auto scale = [&](auto power) { Each(m, n, [&](I i, I j) { a(i, j) = Narrow<T>(Wide(a(i, j)) * std::ldexp(1.0, power(i))); }); };
    const auto addToDiagonal = [&](double d) { for (I i = 0; i < std::min(m, n); ++i) a(i, i) = Narrow<T>(Wide(a(i, i)) + d); };
    switch (kind) {
        case Kind::Random: break;
        case Kind::WellConditioned: addToDiagonal(n); break;
        case Kind::Spd: a = Multiply(a, Transpose(a)), addToDiagonal(n); [[fallthrough]];
        case Kind::Symmetric: Each(n, n, [&](I i, I j) { if (j < i) a(j, i) = a(i, j); }); break;
        case Kind::RankDeficient: {
            const Dense<T> left = RandomDense<T>(rng, m, std::max(1, std::min(m, n) / 2));
            a = Multiply(left, RandomDense<T>(rng, left.cols, n));
            break;
        }
        case Kind::Defective: Each(n, n, [&](I i, I j) { if (j <= i) a(i, j) = Narrow<T>(i == j ? 1.0 : 0.0); }); break;
        case Kind::Zero: a.data.assign(a.data.size(), T{}); break;
        case Kind::Huge: scale([](I) { return 500; }); break;
        case Kind::Tiny: scale([](I) { return -500; }); break;
        case Kind::Graded: scale([](I i) { return 40 * (i % 7) - 120; }); break;
    }
    // clang-format on
    return a;
}
template <class T> BasicMatrix<T> RandomMatrix(std::mt19937_64& rng, I m, I n, Kind kind = Kind::Random) {
    return ToMatrix(RandomDense<T>(rng, m, n, kind));
}

// A caller-supplied output that logs its calls in order (S for Size, P for
// PutItem, C for Clear) and keeps what it was given in m.
template <class T> struct Recorder final : MatrixWriter<T> {
    Status Size(I r, I c) override { return log += 'S', m.Size(r, c); }
    Status PutItem(I r, I c, const T& v) override { return log += 'P', m.PutItem(r, c, v); }
    Status Clear() override { return log += 'C', m.Clear(); }
    std::string log;
    BasicMatrix<T> m;
};

// A host's array as the puts read it: element (i, j) of `data` at subscripts
// (lower[0] + i, lower[1] + j); a one-dimensional array is data's column 0.
struct FakeArray final : ArraySource {
    Dense<double> data;
    I dims = 2, lower[2] = {0, 0};
    bool doubles = true;
    I Dimensions() const override { return dims; }
    bool HoldsDoubles() const override { return doubles; }
    Status Bounds(I d, I* lo, I* hi) const override {
        return *lo = lower[d - 1], *hi = lower[d - 1] + (d == 1 ? data.rows : data.cols) - 1, Status::Ok();
    }
    Status Read(I first, I second, double* v) const override { return *v = data(first - lower[0], dims == 1 ? 0 : second - lower[1]), Status::Ok(); }
};
// The new array a get fills; `failAfter` writes succeed, then one fails.
struct FakeSink final : ArraySink {
    Dense<double> out;
    int failAfter = -1;
    Status Create(I r, I c) override { return out = Dense<double>(r, c), Status::Ok(); }
    Status Write(I r, I c, double v) override { return failAfter-- == 0 ? Status::OutOfMemory() : (out(r, c) = v, Status::Ok()); }
};
// The VARIANT a permutation index arrives in.
struct FakeIndex final : PermIndexArgument {
    std::vector<I> entries;
    std::uint16_t type = kVarTypeArray | kVarTypeI4;
    bool nullArray = false;
    I dims = 1, lower = 0;
    std::uint16_t VarType() const override { return type; }
    bool ArrayIsNull() const override { return nullArray; }
    I Dimensions() const override { return dims; }
    Status Bounds(I* lo, I* hi) const override { return *lo = lower, *hi = lower + I(entries.size()) - 1, Status::Ok(); }
    Status ReadEntries(I* out, I count) const override { return std::copy_n(entries.begin(), count, out), Status::Ok(); }
};

// The next n allocations of this thread succeed and every later one fails,
// until the guard is destroyed (also when a test fails).
struct FailAllocations {
    explicit FailAllocations(long n) { FailAllocationsAfter(n); }
    ~FailAllocations() { FailAllocationsAfter(-1); }
    FailAllocations(const FailAllocations&) = delete;
};

}  // namespace corvane::support
