// Helpers of the arithmetic and comparison tests: complex matrices, bit-exact
// comparison of either element type, random fills and a foreign reader.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <ostream>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

#include "core/cmatrix.h"
#include "core/matrix.h"
#include "matrix_test_support.h"

#ifndef CORVANE_TEST_PRINTS_COMPLEX
#define CORVANE_TEST_PRINTS_COMPLEX
namespace corvane {
inline std::ostream& operator<<(std::ostream& os, const Complex& c) {
    return os << "(" << c.Real << ", " << c.Imag << ")";
}
}  // namespace corvane
#endif

namespace corvane::test {

inline bool SameBits(double a, double b) { return Bits(a) == Bits(b); }
inline bool SameBits(const Complex& a, const Complex& b) {
    return Bits(a.Real) == Bits(b.Real) && Bits(a.Imag) == Bits(b.Imag);
}

// A sized complex matrix with the given rows.
inline CMatrix MakeC(std::initializer_list<std::initializer_list<Complex>> rows) { return MakeOf<Complex>(rows); }

// Same shape, same sized state and the same bits in every element.
template <class T>
void ExpectSameMatrix(const BasicMatrix<T>& a, const BasicMatrix<T>& b) {
    ASSERT_EQ(a.Rows(), b.Rows());
    ASSERT_EQ(a.Cols(), b.Cols());
    ASSERT_EQ(a.sized(), b.sized());
    if (!a.sized()) return;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j)
            EXPECT_TRUE(SameBits(a.at(i, j), b.at(i, j)))
                << "at (" << i << ", " << j << "): " << a.at(i, j) << " vs " << b.at(i, j);
}

template <class T>
BasicMatrix<T> Copy(const BasicMatrix<T>& m) {
    BasicMatrix<T> c;
    EXPECT_TRUE(m.Clone(&c).ok());
    return c;
}

// Values whose sums are sensitive to order: mixed signs and exponents over a
// wide range, so a different grouping changes last bits.
inline double Awkward(std::mt19937_64& rng) {
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    return std::ldexp(mantissa(rng), exponent(rng));
}

template <class T>
T RandomElement(std::mt19937_64& rng);
template <>
inline double RandomElement<double>(std::mt19937_64& rng) { return Awkward(rng); }
template <>
inline Complex RandomElement<Complex>(std::mt19937_64& rng) {
    const double re = Awkward(rng);
    return Complex{re, Awkward(rng)};
}

template <class T>
BasicMatrix<T> RandomMatrixOf(std::mt19937_64& rng, std::int32_t rows, std::int32_t cols) {
    BasicMatrix<T> m;
    EXPECT_TRUE(m.Size(rows, cols).ok());
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) m.at(i, j) = RandomElement<T>(rng);
    return m;
}

// A matrix implemented outside the core: any shape it likes, elements from a
// function, every read recorded. Reads listed in `failing` fail without
// writing the value, as a broken foreign object might.
template <class T>
class FakeReader final : public MatrixReader<T> {
public:
    FakeReader(std::int32_t rows, std::int32_t cols, std::function<T(std::int32_t, std::int32_t)> element)
        : rows_(rows), cols_(cols), element_(std::move(element)) {}

    std::int32_t Rows() const override {
        ++shapeReads;
        return rows_;
    }
    std::int32_t Cols() const override {
        ++shapeReads;
        return cols_;
    }
    Status Item(std::int32_t row, std::int32_t col, T* value) const override {
        reads.emplace_back(row, col);
        for (auto [r, c] : failing)
            if (r == row && c == col) return kRowIndex;
        *value = element_(row, col);
        return Status::Ok();
    }

    mutable std::vector<std::pair<std::int32_t, std::int32_t>> reads;
    mutable int shapeReads = 0;
    std::vector<std::pair<std::int32_t, std::int32_t>> failing;

private:
    std::int32_t rows_;
    std::int32_t cols_;
    std::function<T(std::int32_t, std::int32_t)> element_;
};

// The reads of a whole rows × cols matrix, row by row.
inline std::vector<std::pair<std::int32_t, std::int32_t>> RowByRow(std::int32_t rows, std::int32_t cols) {
    std::vector<std::pair<std::int32_t, std::int32_t>> order;
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) order.emplace_back(i, j);
    return order;
}

}  // namespace corvane::test
