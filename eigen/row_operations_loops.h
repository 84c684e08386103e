// The loops of RowOperations, included by one source file per instruction set
// and compiled there for that set (the compiler vectorises them across
// elements; no element's operations are reordered or fused).
#pragma once

#include <cstdint>
#include <cstring>

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

void Reflect3Twice(double* __restrict w0, double* __restrict w1, double* __restrict w2, double* __restrict w3,
                   const double* a, const double* b, std::int32_t n) {
    const double p = a[0], q = a[1], r = a[2], qq = a[3], rr = a[4];
    const double p2 = b[0], q2 = b[1], r2 = b[2], qq2 = b[3], rr2 = b[4];
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = p * w0[j] + q * w1[j] + r * w2[j];
        w0[j] = w0[j] - v;
        const double x = w1[j] - v * qq;
        const double y = w2[j] - v * rr;
        const double v2 = p2 * x + q2 * y + r2 * w3[j];
        w1[j] = x - v2;
        w2[j] = y - v2 * qq2;
        w3[j] = w3[j] - v2 * rr2;
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

void ReflectRows3Twice(double* __restrict w0, double* __restrict w1, double* __restrict w2, double* __restrict w3,
                       const double* a, const double* b, std::int32_t n) {
    const double p = a[0], q = a[1], r = a[2], qq = a[3], rr = a[4];
    const double p2 = b[0], q2 = b[1], r2 = b[2], qq2 = b[3], rr2 = b[4];
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = w0[j] + qq * w1[j] + rr * w2[j];
        w0[j] = w0[j] - v * p;
        const double x = w1[j] - v * q;
        const double y = w2[j] - v * r;
        const double v2 = x + qq2 * y + rr2 * w3[j];
        w1[j] = x - v2 * p2;
        w2[j] = y - v2 * q2;
        w3[j] = w3[j] - v2 * r2;
    }
}

void ReflectRows2(double* __restrict x, double* __restrict y, double p, double q, double qq, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double v = x[j] + qq * y[j];
        x[j] = x[j] - v * p;
        y[j] = y[j] - v * q;
    }
}

// Blocks of four rows by four columns go through registers, transposed by
// shuffles (generic vectors: the compiler picks the set's instructions).
using Four = double __attribute__((vector_size(32)));

void GatherTransposed(double* __restrict t, std::int32_t ld, const double* const* rows, std::int32_t first,
                      std::int32_t count, std::int32_t width) {
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const double* const r[4] = {rows[i] + first, rows[i + 1] + first, rows[i + 2] + first, rows[i + 3] + first};
        std::int32_t c = 0;
        for (; c + 4 <= width; c += 4) {
            Four a, b, e, f;
            std::memcpy(&a, r[0] + c, sizeof a);
            std::memcpy(&b, r[1] + c, sizeof b);
            std::memcpy(&e, r[2] + c, sizeof e);
            std::memcpy(&f, r[3] + c, sizeof f);
            const Four ab0 = __builtin_shufflevector(a, b, 0, 4, 2, 6), ab1 = __builtin_shufflevector(a, b, 1, 5, 3, 7);
            const Four ef0 = __builtin_shufflevector(e, f, 0, 4, 2, 6), ef1 = __builtin_shufflevector(e, f, 1, 5, 3, 7);
            const Four o[4] = {
                __builtin_shufflevector(ab0, ef0, 0, 1, 4, 5), __builtin_shufflevector(ab1, ef1, 0, 1, 4, 5),
                __builtin_shufflevector(ab0, ef0, 2, 3, 6, 7), __builtin_shufflevector(ab1, ef1, 2, 3, 6, 7)};
            for (int k = 0; k < 4; ++k) std::memcpy(t + (c + k) * ld + i, &o[k], sizeof o[k]);
        }
        for (; c < width; ++c)
            for (int k = 0; k < 4; ++k) t[c * ld + i + k] = r[k][c];
    }
    for (; i < count; ++i)
        for (std::int32_t c = 0; c < width; ++c) t[c * ld + i] = rows[i][first + c];
}

void ScatterTransposed(const double* __restrict t, std::int32_t ld, double* const* rows, std::int32_t first,
                       std::int32_t count, std::int32_t width) {
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        double* const r[4] = {rows[i] + first, rows[i + 1] + first, rows[i + 2] + first, rows[i + 3] + first};
        std::int32_t c = 0;
        for (; c + 4 <= width; c += 4) {
            Four a, b, e, f;
            std::memcpy(&a, t + c * ld + i, sizeof a);
            std::memcpy(&b, t + (c + 1) * ld + i, sizeof b);
            std::memcpy(&e, t + (c + 2) * ld + i, sizeof e);
            std::memcpy(&f, t + (c + 3) * ld + i, sizeof f);
            const Four ab0 = __builtin_shufflevector(a, b, 0, 4, 2, 6), ab1 = __builtin_shufflevector(a, b, 1, 5, 3, 7);
            const Four ef0 = __builtin_shufflevector(e, f, 0, 4, 2, 6), ef1 = __builtin_shufflevector(e, f, 1, 5, 3, 7);
            const Four o[4] = {
                __builtin_shufflevector(ab0, ef0, 0, 1, 4, 5), __builtin_shufflevector(ab1, ef1, 0, 1, 4, 5),
                __builtin_shufflevector(ab0, ef0, 2, 3, 6, 7), __builtin_shufflevector(ab1, ef1, 2, 3, 6, 7)};
            for (int k = 0; k < 4; ++k) std::memcpy(r[k] + c, &o[k], sizeof o[k]);
        }
        for (; c < width; ++c)
            for (int k = 0; k < 4; ++k) r[k][c] = t[c * ld + i + k];
    }
    for (; i < count; ++i)
        for (std::int32_t c = 0; c < width; ++c) rows[i][first + c] = t[c * ld + i];
}

// Eight sums at once, two registers of four rows; four columns of four rows
// are transposed so that each register holds one column's elements.
void AddColumnTerms8(double* acc, const double* const* rows, const double* y, const double* takes, std::int32_t first,
                     std::int32_t last) {
    Four s[2];
    std::memcpy(s, acc, sizeof s);
    std::int32_t r = first;
    for (; r + 3 <= last; r += 4) {
        for (int h = 0; h < 2; ++h) {
            const double* const* q = rows + 4 * h;
            Four a, b, e, f;
            std::memcpy(&a, q[0] + r, sizeof a);
            std::memcpy(&b, q[1] + r, sizeof b);
            std::memcpy(&e, q[2] + r, sizeof e);
            std::memcpy(&f, q[3] + r, sizeof f);
            const Four ab0 = __builtin_shufflevector(a, b, 0, 4, 2, 6), ab1 = __builtin_shufflevector(a, b, 1, 5, 3, 7);
            const Four ef0 = __builtin_shufflevector(e, f, 0, 4, 2, 6), ef1 = __builtin_shufflevector(e, f, 1, 5, 3, 7);
            const Four o[4] = {
                __builtin_shufflevector(ab0, ef0, 0, 1, 4, 5), __builtin_shufflevector(ab1, ef1, 0, 1, 4, 5),
                __builtin_shufflevector(ab0, ef0, 2, 3, 6, 7), __builtin_shufflevector(ab1, ef1, 2, 3, 6, 7)};
            for (int k = 0; k < 4; ++k)
                if (takes[r + k] != 0.0) s[h] = s[h] + y[r + k] * o[k];
        }
    }
    for (; r <= last; ++r)
        if (takes[r] != 0.0)
            for (int h = 0; h < 2; ++h) {
                const double* const* q = rows + 4 * h;
                s[h] = s[h] + y[r] * Four{q[0][r], q[1][r], q[2][r], q[3][r]};
            }
    std::memcpy(acc, s, sizeof s);
}

constexpr RowOperations kLoops{&AddScaled,         &SubtractScaled, &SubtractTwo,       &Rotate,
                               &RotatePair,        &Reflect3,       &Reflect2,          &Reflect3Twice,
                               &ReflectRows3,      &ReflectRows2,   &ReflectRows3Twice, &GatherTransposed,
                               &ScatterTransposed, &AddColumnTerms8};

}  // namespace
}  // namespace corvane
