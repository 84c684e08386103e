// Helpers shared by the decomposition tests: seeded random matrices of
// several kinds, dense products and norms on plain vectors, an output object
// that logs how it is written, and LAPACK prototypes for the oracle tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/allocation.h"
#include "core/matrix.h"
#include "matrix_test_support.h"

namespace corvane::test {

using Dense = std::vector<std::vector<double>>;

inline constexpr double kEps = std::numeric_limits<double>::epsilon();
inline const double kNaN = std::numeric_limits<double>::quiet_NaN();
inline const double kInf = std::numeric_limits<double>::infinity();

// Restores normal allocation when a test ends, passed or failed.
struct AllocationGuard {
    ~AllocationGuard() { FailAllocationsAfter(-1); }
};

inline Dense ToDense(const Matrix& m) {
    Dense d(static_cast<std::size_t>(m.Rows()), std::vector<double>(static_cast<std::size_t>(m.Cols())));
    for (std::int32_t i = 0; i < m.Rows(); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j) d[i][j] = m.at(i, j);
    return d;
}

inline Matrix FromDense(const Dense& d) {
    Matrix m;
    EXPECT_TRUE(m.Size(static_cast<std::int32_t>(d.size()), static_cast<std::int32_t>(d[0].size())).ok());
    for (std::size_t i = 0; i < d.size(); ++i)
        for (std::size_t j = 0; j < d[i].size(); ++j) m.at(static_cast<std::int32_t>(i), static_cast<std::int32_t>(j)) = d[i][j];
    return m;
}

inline Dense Multiply(const Dense& a, const Dense& b) {
    Dense c(a.size(), std::vector<double>(b[0].size(), 0.0));
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t k = 0; k < b.size(); ++k)
            for (std::size_t j = 0; j < b[0].size(); ++j) c[i][j] += a[i][k] * b[k][j];
    return c;
}

inline Dense Transpose(const Dense& a) {
    Dense t(a[0].size(), std::vector<double>(a.size()));
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < a[0].size(); ++j) t[j][i] = a[i][j];
    return t;
}

inline Dense Identity(std::size_t n) {
    Dense d(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i) d[i][i] = 1.0;
    return d;
}

inline Dense Abs(Dense a) {
    for (auto& row : a)
        for (double& x : row) x = std::fabs(x);
    return a;
}

// Frobenius norm of a, or of a − b.
inline double Norm(const Dense& a) {
    double s = 0.0;
    for (const auto& row : a)
        for (double x : row) s += x * x;
    return std::sqrt(s);
}
inline double Distance(const Dense& a, const Dense& b) {
    double s = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < a[i].size(); ++j) s += (a[i][j] - b[i][j]) * (a[i][j] - b[i][j]);
    return std::sqrt(s);
}

// ‖QᵀQ − I‖ (Frobenius) for the columns of q.
inline double OrthogonalityError(const Dense& q) {
    double s = 0.0;
    for (std::size_t p = 0; p < q[0].size(); ++p)
        for (std::size_t r = 0; r < q[0].size(); ++r) {
            double dot = 0.0;
            for (const auto& row : q) dot += row[p] * row[r];
            const double d = dot - (p == r ? 1.0 : 0.0);
            s += d * d;
        }
    return std::sqrt(s);
}

// Kinds of random test matrices.
enum class Kind { General, RankDeficient, ZeroRowAndColumn, IllConditioned, Graded };

inline const char* KindName(Kind k) {
    switch (k) {
        case Kind::General: return "general";
        case Kind::RankDeficient: return "rank-deficient";
        case Kind::ZeroRowAndColumn: return "zero row and column";
        case Kind::IllConditioned: return "ill-conditioned";
        case Kind::Graded: return "graded";
    }
    return "?";
}

inline Dense RandomDense(std::mt19937_64& rng, std::size_t m, std::size_t n, Kind kind = Kind::General) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    auto fill = [&](std::size_t r, std::size_t c) {
        Dense d(r, std::vector<double>(c));
        for (auto& row : d)
            for (double& x : row) x = u(rng);
        return d;
    };
    Dense a = fill(m, n);
    switch (kind) {
        case Kind::General: break;
        case Kind::RankDeficient: {
            // Product of m × r and r × n factors, r about half the smaller size.
            const std::size_t r = std::max<std::size_t>(1, std::min(m, n) / 2);
            a = Multiply(fill(m, r), fill(r, n));
            break;
        }
        case Kind::ZeroRowAndColumn:
            for (double& x : a[m / 2]) x = 0.0;
            for (auto& row : a) row[n / 3] = 0.0;
            break;
        case Kind::IllConditioned:
            // Columns scaled over ten orders of magnitude.
            for (auto& row : a)
                for (std::size_t j = 0; j < n; ++j) row[j] *= std::pow(10.0, -10.0 * static_cast<double>(j) / static_cast<double>(std::max<std::size_t>(1, n - 1)));
            break;
        case Kind::Graded:
            for (std::size_t i = 0; i < m; ++i)
                for (double& x : a[i]) x *= std::pow(2.0, static_cast<double>(i % 7) * 40.0 - 120.0);
            break;
    }
    return a;
}

// Well-conditioned: random plus n on the diagonal.
inline Dense DominantDense(std::mt19937_64& rng, std::size_t n) {
    Dense a = RandomDense(rng, n, n);
    for (std::size_t i = 0; i < n; ++i) a[i][i] += static_cast<double>(n);
    return a;
}

// A symmetric positive definite matrix B·Bᵀ + n·I (exactly symmetric).
inline Dense SpdDense(std::mt19937_64& rng, std::size_t n) {
    const Dense b = RandomDense(rng, n, n);
    Dense a = Multiply(b, Transpose(b));
    for (std::size_t i = 0; i < n; ++i) {
        a[i][i] += static_cast<double>(n);
        for (std::size_t j = 0; j < i; ++j) a[j][i] = a[i][j];
    }
    return a;
}

// A writer that records how a decomposition fills it, into a log shared by
// several outputs ("L.Size 3 3", "L.Put 0 0", "S.Clear"), and keeps the values.
class LoggingOutput final : public MatrixWriter<double> {
public:
    LoggingOutput(std::string name, std::vector<std::string>* log) : name_(std::move(name)), log_(log) {}
    Status Size(std::int32_t rows, std::int32_t cols) override {
        log_->push_back(name_ + ".Size " + std::to_string(rows) + " " + std::to_string(cols));
        return m.Size(rows, cols);
    }
    Status PutItem(std::int32_t row, std::int32_t col, const double& value) override {
        log_->push_back(name_ + ".Put " + std::to_string(row) + " " + std::to_string(col));
        return m.PutItem(row, col, value);
    }
    Status Clear() override {
        log_->push_back(name_ + ".Clear");
        return m.Clear();
    }
    Matrix m;

private:
    std::string name_;
    std::vector<std::string>* log_;
};

// Names of the outputs in the order they were first sized.
inline std::vector<std::string> SizeOrder(const std::vector<std::string>& log) {
    std::vector<std::string> order;
    for (const auto& entry : log)
        if (entry.find(".Size") != std::string::npos) order.push_back(entry.substr(0, entry.find('.')));
    return order;
}

}  // namespace corvane::test

#ifdef CORVANE_HAVE_LAPACK
extern "C" {
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work, const int* lwork, int* info);
void dgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, double* a, const int* lda, double* s,
             double* u, const int* ldu, double* vt, const int* ldvt, double* work, const int* lwork, int* info);
}

namespace corvane::test {

// Column-major copy for LAPACK.
inline std::vector<double> ColumnMajor(const Dense& a) {
    std::vector<double> c(a.size() * a[0].size());
    for (std::size_t j = 0; j < a[0].size(); ++j)
        for (std::size_t i = 0; i < a.size(); ++i) c[j * a.size() + i] = a[i][j];
    return c;
}

}  // namespace corvane::test
#endif
