// Helpers shared by the matrix tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "core/matrix.h"

namespace corvane::test {

inline std::uint64_t Bits(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

inline double FromBits(std::uint64_t b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// A sized matrix of either element type with the given rows (all of the
// same length).
template <class T>
BasicMatrix<T> MakeOf(std::initializer_list<std::initializer_list<T>> rows) {
    BasicMatrix<T> m;
    const auto r = static_cast<std::int32_t>(rows.size());
    const auto c = static_cast<std::int32_t>(rows.begin()->size());
    EXPECT_TRUE(m.Size(r, c).ok());
    std::int32_t i = 0;
    for (const auto& row : rows) {
        std::int32_t j = 0;
        for (const T& v : row) EXPECT_TRUE(m.PutItem(i, j++, v).ok());
        ++i;
    }
    return m;
}

inline Matrix Make(std::initializer_list<std::initializer_list<double>> rows) { return MakeOf<double>(rows); }

// Every element through the public Item get, row by row.
inline std::vector<std::vector<double>> Contents(const Matrix& m) {
    std::vector<std::vector<double>> out(static_cast<std::size_t>(m.Rows()));
    for (std::int32_t i = 0; i < m.Rows(); ++i) {
        for (std::int32_t j = 0; j < m.Cols(); ++j) {
            double v = -99.0;
            EXPECT_TRUE(m.Item(i, j, &v).ok());
            out[static_cast<std::size_t>(i)].push_back(v);
        }
    }
    return out;
}

// Same shape and the same bits in every element (so -0.0 and NaN payloads
// count).
inline void ExpectSameBits(const Matrix& a, const Matrix& b) {
    ASSERT_EQ(a.Rows(), b.Rows());
    ASSERT_EQ(a.Cols(), b.Cols());
    ASSERT_EQ(a.sized(), b.sized());
    if (!a.sized()) return;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j)
            EXPECT_EQ(Bits(a.at(i, j)), Bits(b.at(i, j))) << "at (" << i << ", " << j << ")";
}

}  // namespace corvane::test
