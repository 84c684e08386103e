// Helpers of the eigen kernel tests: row-pointer tables, seeded random
// matrices, residuals and the LAPACK oracle's entry points.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace corvane::test {

// n × n doubles with a row-pointer table, as the kernels take them. Every
// row is its own allocation, so a read past the end of a row is caught by the
// address sanitizer.
class Table {
public:
    explicit Table(std::int32_t n, double fill = 0.0) : data_(static_cast<std::size_t>(n)), rows_(static_cast<std::size_t>(n)) {
        for (std::int32_t i = 0; i < n; ++i) {
            data_[i].assign(static_cast<std::size_t>(n), fill);
            rows_[i] = data_[i].data();
        }
    }
    Table(const Table& o) : data_(o.data_), rows_(o.data_.size()) {
        for (std::size_t i = 0; i < data_.size(); ++i) rows_[i] = data_[i].data();
    }
    Table& operator=(const Table& o) {
        Table copy(o);
        std::swap(data_, copy.data_);
        std::swap(rows_, copy.rows_);
        return *this;
    }
    std::int32_t n() const { return static_cast<std::int32_t>(data_.size()); }
    std::int32_t last() const { return n() - 1; }
    double* const* rows() { return rows_.data(); }
    double& operator()(std::int32_t i, std::int32_t j) { return rows_[i][j]; }
    double operator()(std::int32_t i, std::int32_t j) const { return rows_[i][j]; }
    // The same bits everywhere (so -0.0 and NaN payloads count).
    bool SameBits(const Table& o) const {
        if (n() != o.n()) return false;
        for (std::int32_t i = 0; i < n(); ++i)
            if (std::memcmp(data_[i].data(), o.data_[i].data(), data_[i].size() * sizeof(double)) != 0) return false;
        return true;
    }

private:
    std::vector<std::vector<double>> data_;
    std::vector<double*> rows_;
};

inline Table RandomTable(std::int32_t n, std::mt19937_64& rng, double scale = 1.0) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Table t(n);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) t(i, j) = u(rng) * scale;
    return t;
}

inline Table RandomSymmetric(std::int32_t n, std::mt19937_64& rng, double scale = 1.0) {
    Table t = RandomTable(n, rng, scale);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < i; ++j) t(j, i) = t(i, j);
    return t;
}

inline double FrobeniusNorm(const Table& a) {
    double s = 0.0;
    for (std::int32_t i = 0; i < a.n(); ++i)
        for (std::int32_t j = 0; j < a.n(); ++j) s += a(i, j) * a(i, j);
    return std::sqrt(s);
}

// ‖A·v − λ·v‖ / (max(‖A‖, |λ|, tiny) · ‖v‖) for a complex pair (λ, v).
inline double RelativeResidual(const Table& a, std::complex<double> lambda, const std::vector<std::complex<double>>& v) {
    const std::int32_t n = a.n();
    double res = 0.0, vn = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
        std::complex<double> s = 0.0;
        for (std::int32_t j = 0; j < n; ++j) s += a(i, j) * v[j];
        s -= lambda * v[i];
        res += std::norm(s);
        vn += std::norm(v[i]);
    }
    const double scale = std::max({FrobeniusNorm(a), std::abs(lambda), std::numeric_limits<double>::min()});
    if (vn == 0.0) return std::numeric_limits<double>::infinity();  // a zero vector is never an eigenvector
    return std::sqrt(res) / (scale * std::sqrt(vn));
}

// A tolerance on relative residuals for order n.
inline double ResidualTolerance(std::int32_t n) { return 50.0 * n * std::numeric_limits<double>::epsilon(); }

}  // namespace corvane::test

#ifdef CORVANE_HAVE_LAPACK
extern "C" {
void dsyev_(const char* jobz, const char* uplo, const int* n, double* a, const int* lda, double* w, double* work,
            const int* lwork, int* info);
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda, double* wr, double* wi,
            double* vl, const int* ldvl, double* vr, const int* ldvr, double* work, const int* lwork, int* info);
}
#endif
