// The loops of RowOperations, included by one source file per instruction set
// and compiled there for that set (the compiler vectorises them across
// elements; no element's operations are reordered or fused).
#pragma once

#include <cstdint>

#include "eigen/row_operations.h"

namespace corvane {
namespace {

void AddScaled(double* __restrict y, const double* __restrict x, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) y[j] = y[j] + x[j] * s;
}

void SubtractScaled(double* __restrict y, const double* __restrict x, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) y[j] = y[j] - x[j] * s;
}

void SubtractTwo(double* __restrict y, const double* __restrict u, double a, const double* __restrict v, double b,
                 std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) y[j] = y[j] - (u[j] * a + v[j] * b);
}

// Rows k0..k0 + R − 1 of ReduceMultiplyLower. Their products with u run as R
// independent sums side by side, column by column; the columns before k0 go
// in chunks that stay in the first-level cache between the update, the sums
// and the rows' terms of the elements of q before k0.
template <int R>
void ReduceMultiplyRows(double* const* a, std::int32_t k0, const double* w, const double* p, const double* u, double* q,
                        bool update) {
    constexpr std::int32_t kChunk = 256;
    double* rows[R];
    double acc[R];
    for (int r = 0; r < R; ++r) {
        rows[r] = a[k0 + r];
        acc[r] = 0.0;
    }
    for (std::int32_t c0 = 0; c0 < k0; c0 += kChunk) {
        const std::int32_t n = k0 - c0 < kChunk ? k0 - c0 : kChunk;
        if (update)
            for (int r = 0; r < R; ++r) SubtractTwo(rows[r] + c0, w + c0, p[k0 + r], p + c0, w[k0 + r], n);
        if (q == nullptr) continue;
        for (std::int32_t j = c0; j < c0 + n; ++j) {
            const double uj = u[j];
            for (int r = 0; r < R; ++r) acc[r] = acc[r] + rows[r][j] * uj;
        }
        for (int r = 0; r < R; ++r) AddScaled(q + c0, rows[r] + c0, u[k0 + r], n);
    }
    // The triangle of the group's own columns, row after row.
    for (int r = 0; r < R; ++r) {
        const std::int32_t k = k0 + r;
        if (update) SubtractTwo(rows[r] + k0, w + k0, p[k], p + k0, w[k], r + 1);
        if (q == nullptr) continue;
        for (std::int32_t j = k0; j <= k; ++j) acc[r] = acc[r] + rows[r][j] * u[j];
        q[k] = acc[r];
        for (std::int32_t j = k0; j < k; ++j) q[j] = q[j] + rows[r][j] * u[k];
    }
}

void ReduceMultiplyLower(double* const* a, std::int32_t m, const double* w, const double* p, const double* u, double* q,
                         bool update) {
    constexpr int kGroup = 8;
    std::int32_t k0 = 0;
    for (; k0 + kGroup <= m + 1; k0 += kGroup) ReduceMultiplyRows<kGroup>(a, k0, w, p, u, q, update);
    for (; k0 <= m; ++k0) ReduceMultiplyRows<1>(a, k0, w, p, u, q, update);
}

void Rotate(double* __restrict x, double* __restrict y, double c, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double t = y[j];
        y[j] = s * x[j] + c * t;
        x[j] = c * x[j] - s * t;
    }
}

void RotatePair(double* __restrict x, double* __restrict y, double c, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = x[j];
        x[j] = c * v + s * y[j];
        y[j] = c * y[j] - s * v;
    }
}

void Reflect3(double* __restrict x, double* __restrict y, double* __restrict z, double p, double q, double r, double qq,
              double rr, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = p * x[j] + q * y[j] + r * z[j];
        x[j] = x[j] - v;
        y[j] = y[j] - v * qq;
        z[j] = z[j] - v * rr;
    }
}

void Reflect2(double* __restrict x, double* __restrict y, double p, double q, double qq, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = p * x[j] + q * y[j];
        x[j] = x[j] - v;
        y[j] = y[j] - v * qq;
    }
}

void ReflectRows3(double* __restrict x, double* __restrict y, double* __restrict z, double p, double q, double r,
                  double qq, double rr, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = x[j] + qq * y[j] + rr * z[j];
        x[j] = x[j] - v * p;
        y[j] = y[j] - v * q;
        z[j] = z[j] - v * r;
    }
}

void ReflectRows2(double* __restrict x, double* __restrict y, double p, double q, double qq, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = x[j] + qq * y[j];
        x[j] = x[j] - v * p;
        y[j] = y[j] - v * q;
    }
}

constexpr RowOperations kLoops{&AddScaled,  &SubtractScaled, &SubtractTwo, &ReduceMultiplyLower, &Rotate,
                               &RotatePair, &Reflect3,       &Reflect2,    &ReflectRows3,        &ReflectRows2};

}  // namespace
}  // namespace corvane
