// The one support header of the native tests: dense matrices of either
// element type with reference arithmetic in std::complex (independent of the
// product's own Complex operators), seeded random matrices of several kinds,
// bit equality, a recording output and an allocation-failure guard.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "core/allocation.h"
#include "core/cmatrix.h"
#include "core/matrix.h"

#ifndef CORVANE_TEST_PRINTS_COMPLEX
#define CORVANE_TEST_PRINTS_COMPLEX
namespace corvane {
inline std::ostream& operator<<(std::ostream& os, const Complex& c) {
    return os << "(" << c.Real << ", " << c.Imag << ")";
}
}  // namespace corvane
#endif

namespace corvane::support {

inline constexpr double kEps = std::numeric_limits<double>::epsilon();
inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInf = std::numeric_limits<double>::infinity();

using Cx = std::complex<double>;
inline Cx Wide(double x) { return {x, 0.0}; }
inline Cx Wide(Complex x) { return {x.Real, x.Imag}; }
template <class T>
T Narrow(Cx x) {
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

// A dense rows × cols matrix, row by row.
template <class T>
struct Dense {
    std::int32_t rows = 0, cols = 0;
    std::vector<T> data;

    Dense() = default;
    Dense(std::int32_t r, std::int32_t c) : rows(r), cols(c), data(static_cast<std::size_t>(r) * c, T{}) {}
    Dense(std::initializer_list<std::initializer_list<T>> init)
        : Dense(static_cast<std::int32_t>(init.size()), static_cast<std::int32_t>(init.begin()->size())) {
        std::size_t k = 0;
        for (const auto& row : init)
            for (const T& x : row) data[k++] = x;
    }
    T& operator()(std::int32_t i, std::int32_t j) { return data[static_cast<std::size_t>(i) * cols + j]; }
    const T& operator()(std::int32_t i, std::int32_t j) const { return data[static_cast<std::size_t>(i) * cols + j]; }
};

template <class T>
BasicMatrix<T> ToMatrix(const Dense<T>& d) {
    BasicMatrix<T> m;
    EXPECT_TRUE(m.Size(d.rows, d.cols).ok());
    for (std::int32_t i = 0; i < d.rows; ++i)
        for (std::int32_t j = 0; j < d.cols; ++j) m.at(i, j) = d(i, j);
    return m;
}
// Every element through the public Item get; an unsized matrix gives no
// elements (and a count given alone is kept).
template <class T>
Dense<T> ToDense(const MatrixReader<T>& m) {
    Dense<T> d(m.Rows(), m.Cols());
    for (std::int32_t i = 0; i < d.rows; ++i)
        for (std::int32_t j = 0; j < d.cols; ++j) EXPECT_TRUE(m.Item(i, j, &d(i, j)).ok());
    return d;
}
template <class T>
BasicMatrix<T> Make(std::initializer_list<std::initializer_list<T>> rows) {
    return ToMatrix(Dense<T>(rows));
}
template <class T>
BasicMatrix<T> Copy(const BasicMatrix<T>& m) {
    BasicMatrix<T> c;
    EXPECT_TRUE(m.Clone(&c).ok());
    return c;
}

// Same shape and the same bits in every element.
template <class T>
::testing::AssertionResult SameBits(const Dense<T>& a, const Dense<T>& b) {
    if (a.rows != b.rows || a.cols != b.cols)
        return ::testing::AssertionFailure() << a.rows << "x" << a.cols << " vs " << b.rows << "x" << b.cols;
    for (std::int32_t i = 0; i < a.rows; ++i)
        for (std::int32_t j = 0; j < a.cols; ++j)
            if (!SameBits(a(i, j), b(i, j)))
                return ::testing::AssertionFailure() << "at (" << i << ", " << j << "): " << a(i, j) << " vs " << b(i, j);
    return ::testing::AssertionSuccess();
}
template <class T>
::testing::AssertionResult SameBits(const BasicMatrix<T>& a, const BasicMatrix<T>& b) {
    return SameBits(ToDense(a), ToDense(b));
}

template <class T>
Dense<T> Identity(std::int32_t n) {
    Dense<T> d(n, n);
    for (std::int32_t i = 0; i < n; ++i) d(i, i) = Narrow<T>(1.0);
    return d;
}
template <class T>
Dense<T> Multiply(const Dense<T>& a, const Dense<T>& b) {
    Dense<T> c(a.rows, b.cols);
    for (std::int32_t i = 0; i < a.rows; ++i)
        for (std::int32_t j = 0; j < b.cols; ++j) {
            Cx s = 0.0;
            for (std::int32_t k = 0; k < a.cols; ++k) s += Wide(a(i, k)) * Wide(b(k, j));
            c(i, j) = Narrow<T>(s);
        }
    return c;
}
// The plain transpose, or the conjugate one.
template <class T>
Dense<T> Transpose(const Dense<T>& a, bool conjugate = false) {
    Dense<T> t(a.cols, a.rows);
    for (std::int32_t i = 0; i < a.rows; ++i)
        for (std::int32_t j = 0; j < a.cols; ++j) t(j, i) = Narrow<T>(conjugate ? std::conj(Wide(a(i, j))) : Wide(a(i, j)));
    return t;
}
// Frobenius norm of a, and of a − b (infinite when the shapes differ).
template <class T>
double Norm(const Dense<T>& a) {
    double s = 0.0;
    for (const T& x : a.data) s += std::norm(Wide(x));
    return std::sqrt(s);
}
template <class T>
double Distance(const Dense<T>& a, const Dense<T>& b) {
    if (a.rows != b.rows || a.cols != b.cols) return kInf;
    double s = 0.0;
    for (std::size_t k = 0; k < a.data.size(); ++k) s += std::norm(Wide(a.data[k]) - Wide(b.data[k]));
    return std::sqrt(s);
}
// ‖A·X − B‖ / (‖A‖·‖X‖ + ‖B‖): a few eps for a backward-stable solve or
// factorisation (B = A for a factorisation A = F·G given as Residual(F, G, A)).
template <class T>
double Residual(const Dense<T>& a, const Dense<T>& x, const Dense<T>& b) {
    const double scale = Norm(a) * Norm(x) + Norm(b);
    return Distance(Multiply(a, x), b) / (scale > 0.0 ? scale : 1.0);
}
// ‖QᵀQ − I‖ (QᴴQ when conjugate) over the columns of q.
template <class T>
double OrthogonalityError(const Dense<T>& q, bool conjugate = false) {
    return Distance(Multiply(Transpose(q, conjugate), q), Identity<T>(q.cols));
}
// ‖A·v − λ·v‖ / ((‖A‖ + |λ|)·‖v‖) for column j of `vectors`; infinite for a
// zero vector, which is never an eigenvector.
template <class T>
double EigenResidual(const Dense<T>& a, Complex lambda, const Dense<Complex>& vectors, std::int32_t j) {
    double r = 0.0, v = 0.0;
    for (std::int32_t i = 0; i < a.rows; ++i) {
        Cx s = -Wide(lambda) * Wide(vectors(i, j));
        for (std::int32_t k = 0; k < a.cols; ++k) s += Wide(a(i, k)) * Wide(vectors(k, j));
        r += std::norm(s);
        v += std::norm(Wide(vectors(i, j)));
    }
    const double scale = std::max(Norm(a) + std::abs(Wide(lambda)), std::numeric_limits<double>::min());
    return v == 0.0 ? kInf : std::sqrt(r / v) / scale;
}

// Kinds of seeded random test matrices; parts uniform in [-1, 1) unless said.
enum class Kind {
    Random,
    WellConditioned,  // plus n on the diagonal
    Symmetric,        // the upper triangle mirrors the lower (plain, not Hermitian)
    Spd,              // B·Bᵀ + n·I mirrored exactly (complex: symmetric, not Hermitian)
    RankDeficient,    // product of m × r and r × n factors, r = max(1, min(m, n) / 2)
    Defective,        // one Jordan block: ones on the diagonal, random above, zero below
    Zero,
    Huge,    // scaled by 2^500
    Tiny,    // scaled by 2^-500
    Graded,  // row i scaled by 2^(40·(i mod 7) − 120)
};
inline constexpr Kind kAllKinds[] = {Kind::Random, Kind::WellConditioned, Kind::Symmetric, Kind::Spd, Kind::RankDeficient,
                                     Kind::Defective, Kind::Zero, Kind::Huge, Kind::Tiny, Kind::Graded};
inline std::string KindName(Kind k) {
    static const char* const names[] = {"random", "well-conditioned", "symmetric", "spd", "rank-deficient",
                                        "defective", "zero", "huge", "tiny", "graded"};
    return names[static_cast<int>(k)];
}

template <class T>
T RandomElement(std::mt19937_64& rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const double re = u(rng);
    if constexpr (std::is_same_v<T, double>) return re;
    else return Complex{re, u(rng)};
}

// Square kinds (Symmetric, Spd, Defective) use n for both counts.
template <class T>
Dense<T> RandomDense(std::mt19937_64& rng, std::int32_t m, std::int32_t n, Kind kind = Kind::Random) {
    if (kind == Kind::Symmetric || kind == Kind::Spd || kind == Kind::Defective) m = n;
    Dense<T> a(m, n);
    for (T& x : a.data) x = RandomElement<T>(rng);
    auto scale = [](T& x, double f) { x = Narrow<T>(Wide(x) * f); };
    switch (kind) {
        case Kind::Random: break;
        case Kind::WellConditioned:
            for (std::int32_t i = 0; i < std::min(m, n); ++i) a(i, i) = Narrow<T>(Wide(a(i, i)) + double(n));
            break;
        case Kind::Spd:
            a = Multiply(a, Transpose(a));
            for (std::int32_t i = 0; i < n; ++i) a(i, i) = Narrow<T>(Wide(a(i, i)) + double(n));
            [[fallthrough]];
        case Kind::Symmetric:
            for (std::int32_t i = 0; i < n; ++i)
                for (std::int32_t j = 0; j < i; ++j) a(j, i) = a(i, j);
            break;
        case Kind::RankDeficient: {
            const std::int32_t r = std::max(1, std::min(m, n) / 2);
            const Dense<T> left = RandomDense<T>(rng, m, r);
            a = Multiply(left, RandomDense<T>(rng, r, n));
            break;
        }
        case Kind::Defective:
            for (std::int32_t i = 0; i < n; ++i) {
                a(i, i) = Narrow<T>(1.0);
                for (std::int32_t j = 0; j < i; ++j) a(i, j) = T{};
            }
            break;
        case Kind::Zero: a.data.assign(a.data.size(), T{}); break;
        case Kind::Huge: for (T& x : a.data) scale(x, std::ldexp(1.0, 500)); break;
        case Kind::Tiny: for (T& x : a.data) scale(x, std::ldexp(1.0, -500)); break;
        case Kind::Graded:
            for (std::int32_t i = 0; i < m; ++i)
                for (std::int32_t j = 0; j < n; ++j) scale(a(i, j), std::ldexp(1.0, 40 * (i % 7) - 120));
            break;
    }
    return a;
}
template <class T>
BasicMatrix<T> RandomMatrix(std::mt19937_64& rng, std::int32_t m, std::int32_t n, Kind kind = Kind::Random) {
    return ToMatrix(RandomDense<T>(rng, m, n, kind));
}

// A caller-supplied output that records how it is written ("L.Size 3 3",
// "L.Put 0 0", "L.Clear") in a log that several outputs may share, and keeps
// what it was given in m.
template <class T>
class Recorder final : public MatrixWriter<T> {
public:
    explicit Recorder(std::string name = "out", std::vector<std::string>* log = nullptr)
        : name_(std::move(name)), log_(log != nullptr ? log : &own) {}
    Status Size(std::int32_t rows, std::int32_t cols) override {
        Note(".Size " + std::to_string(rows) + " " + std::to_string(cols));
        return m.Size(rows, cols);
    }
    Status PutItem(std::int32_t row, std::int32_t col, const T& value) override {
        Note(".Put " + std::to_string(row) + " " + std::to_string(col));
        return m.PutItem(row, col, value);
    }
    Status Clear() override {
        Note(".Clear");
        return m.Clear();
    }

    BasicMatrix<T> m;
    std::vector<std::string> own;  // the log when none is shared

private:
    void Note(const std::string& what) { log_->push_back(name_ + what); }
    std::string name_;
    std::vector<std::string>* log_;
};

// The next n allocations of this thread succeed and every later one fails,
// until the guard is destroyed (also when a test fails).
class FailAllocations {
public:
    explicit FailAllocations(long n) { FailAllocationsAfter(n); }
    ~FailAllocations() { FailAllocationsAfter(-1); }
    FailAllocations(const FailAllocations&) = delete;
    FailAllocations& operator=(const FailAllocations&) = delete;
};

}  // namespace corvane::support
