// The loops of RowOperations, included by one source file per instruction set
// and compiled there for that set (the compiler vectorises them across
// elements; no element's operations are reordered or fused). The including
// file first defines, in corvane's unnamed namespace, kLanes (the doubles in
// one register of the Householder reduction's row sums, at most its set's
// width) and kSums (how many such registers run side by side).
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

// One register of row sums: kLanes doubles.
typedef double Lanes __attribute__((vector_size(kLanes * sizeof(double))));

// x[r] = column r of the square whose row r is x[r], for each register width.
typedef double Lanes2 __attribute__((vector_size(2 * sizeof(double))));
typedef double Lanes4 __attribute__((vector_size(4 * sizeof(double))));
typedef double Lanes8 __attribute__((vector_size(8 * sizeof(double))));

[[maybe_unused]] void TransposeLanes(Lanes2* x) {
    const Lanes2 a = x[0], b = x[1];
    x[0] = __builtin_shufflevector(a, b, 0, 2);
    x[1] = __builtin_shufflevector(a, b, 1, 3);
}

[[maybe_unused]] void TransposeLanes(Lanes4* x) {
    const Lanes4 t0 = __builtin_shufflevector(x[0], x[1], 0, 4, 2, 6);
    const Lanes4 t1 = __builtin_shufflevector(x[0], x[1], 1, 5, 3, 7);
    const Lanes4 t2 = __builtin_shufflevector(x[2], x[3], 0, 4, 2, 6);
    const Lanes4 t3 = __builtin_shufflevector(x[2], x[3], 1, 5, 3, 7);
    x[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    x[2] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    x[1] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    x[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

[[maybe_unused]] inline __attribute__((always_inline)) void TransposeLanes(Lanes8* x) {
    const Lanes8 a0 = __builtin_shufflevector(x[0], x[1], 0, 8, 2, 10, 4, 12, 6, 14);
    const Lanes8 a1 = __builtin_shufflevector(x[0], x[1], 1, 9, 3, 11, 5, 13, 7, 15);
    const Lanes8 a2 = __builtin_shufflevector(x[2], x[3], 0, 8, 2, 10, 4, 12, 6, 14);
    const Lanes8 a3 = __builtin_shufflevector(x[2], x[3], 1, 9, 3, 11, 5, 13, 7, 15);
    const Lanes8 a4 = __builtin_shufflevector(x[4], x[5], 0, 8, 2, 10, 4, 12, 6, 14);
    const Lanes8 a5 = __builtin_shufflevector(x[4], x[5], 1, 9, 3, 11, 5, 13, 7, 15);
    const Lanes8 a6 = __builtin_shufflevector(x[6], x[7], 0, 8, 2, 10, 4, 12, 6, 14);
    const Lanes8 a7 = __builtin_shufflevector(x[6], x[7], 1, 9, 3, 11, 5, 13, 7, 15);
    const Lanes8 b0 = __builtin_shufflevector(a0, a2, 0, 1, 8, 9, 4, 5, 12, 13);
    const Lanes8 b2 = __builtin_shufflevector(a0, a2, 2, 3, 10, 11, 6, 7, 14, 15);
    const Lanes8 b1 = __builtin_shufflevector(a1, a3, 0, 1, 8, 9, 4, 5, 12, 13);
    const Lanes8 b3 = __builtin_shufflevector(a1, a3, 2, 3, 10, 11, 6, 7, 14, 15);
    const Lanes8 b4 = __builtin_shufflevector(a4, a6, 0, 1, 8, 9, 4, 5, 12, 13);
    const Lanes8 b6 = __builtin_shufflevector(a4, a6, 2, 3, 10, 11, 6, 7, 14, 15);
    const Lanes8 b5 = __builtin_shufflevector(a5, a7, 0, 1, 8, 9, 4, 5, 12, 13);
    const Lanes8 b7 = __builtin_shufflevector(a5, a7, 2, 3, 10, 11, 6, 7, 14, 15);
    x[0] = __builtin_shufflevector(b0, b4, 0, 1, 2, 3, 8, 9, 10, 11);
    x[4] = __builtin_shufflevector(b0, b4, 4, 5, 6, 7, 12, 13, 14, 15);
    x[1] = __builtin_shufflevector(b1, b5, 0, 1, 2, 3, 8, 9, 10, 11);
    x[5] = __builtin_shufflevector(b1, b5, 4, 5, 6, 7, 12, 13, 14, 15);
    x[2] = __builtin_shufflevector(b2, b6, 0, 1, 2, 3, 8, 9, 10, 11);
    x[6] = __builtin_shufflevector(b2, b6, 4, 5, 6, 7, 12, 13, 14, 15);
    x[3] = __builtin_shufflevector(b3, b7, 0, 1, 2, 3, 8, 9, 10, 11);
    x[7] = __builtin_shufflevector(b3, b7, 4, 5, 6, 7, 12, 13, 14, 15);
}

// ReduceMultiplyLower takes the rows in groups of kGroup: kSums registers of
// kLanes rows' sums. With few vector registers (32-bit x86 has eight) the
// products of a square are formed again from the rows just stored instead of
// kept in registers.
constexpr int kGroup = kLanes * kSums;
constexpr bool kKeepProducts = sizeof(void*) == 8;

// Rows k0..k0 + kUsed − 1 of ReduceMultiplyLower (k0 a multiple of kGroup).
// Each element is visited once: updated, stored, multiplied by u[k] for its
// column's term of q, and by u[j] for its row's sum. Lane r of a sum sums one
// row: each square of kLanes rows by kLanes columns is multiplied by u and
// transposed, its columns added in order; the lanes of missing rows sum zeros
// and are dropped.
template <int kUsed, bool kUpdate, bool kProduct>
void ReduceMultiplyRows(double* const* a, std::int32_t k0, const double* w, const double* p, const double* u,
                        double* q) {
    double* rows[kUsed];
    double acc[kGroup], pk[kUsed], wk[kUsed], uk[kUsed];
    for (int r = 0; r < kUsed; ++r) {
        rows[r] = a[k0 + r];
        pk[r] = kUpdate ? p[k0 + r] : 0.0;
        wk[r] = kUpdate ? w[k0 + r] : 0.0;
        uk[r] = kProduct ? u[k0 + r] : 0.0;
    }
    Lanes sum[kSums] = {};
    for (std::int32_t j = 0; j < k0; j += kLanes) {
        Lanes uj, wj, pj, qj, t[kGroup];
        if constexpr (kUpdate) {
            std::memcpy(&wj, w + j, sizeof wj);
            std::memcpy(&pj, p + j, sizeof pj);
        }
        if constexpr (kProduct) {
            std::memcpy(&uj, u + j, sizeof uj);
            std::memcpy(&qj, q + j, sizeof qj);
        }
#pragma GCC unroll 16
        for (int r = 0; r < kUsed; ++r) {
            Lanes x;
            std::memcpy(&x, rows[r] + j, sizeof x);
            if constexpr (kUpdate) {
                x = x - (wj * pk[r] + pj * wk[r]);
                std::memcpy(rows[r] + j, &x, sizeof x);
            }
            if constexpr (kProduct) {
                qj = qj + x * uk[r];
                if constexpr (kKeepProducts) t[r] = x * uj;
            }
        }
        if constexpr (!kProduct) continue;
        std::memcpy(q + j, &qj, sizeof qj);
#pragma GCC unroll 4
        for (int h = 0; h < kSums; ++h) {
            Lanes* const square = t + h * kLanes;
#pragma GCC unroll 8
            for (int c = 0; c < kLanes; ++c) {
                const int r = h * kLanes + c;
                if (r >= kUsed) {
                    square[c] = Lanes{};
                } else if constexpr (!kKeepProducts) {
                    std::memcpy(&square[c], rows[r] + j, sizeof uj);
                    square[c] = square[c] * uj;
                }
            }
            TransposeLanes(square);
#pragma GCC unroll 8
            for (int c = 0; c < kLanes; ++c) {
                // Keeps each column a register: otherwise the compiler
                // folds the squares back into one slow sum per row.
#if defined(__x86_64__) || defined(__i386__)
                __asm__("" : "+x"(square[c]));
#endif
                sum[h] = sum[h] + square[c];
            }
        }
    }
    std::memcpy(acc, sum, sizeof sum);
    // The triangle of the group's own columns, row after row.
    for (int r = 0; r < kUsed; ++r) {
        const std::int32_t k = k0 + r;
        if constexpr (kUpdate) SubtractTwo(rows[r] + k0, w + k0, pk[r], p + k0, wk[r], r + 1);
        if constexpr (!kProduct) continue;
        for (std::int32_t j = k0; j <= k; ++j) acc[r] = acc[r] + rows[r][j] * u[j];
        q[k] = acc[r];
        for (std::int32_t j = k0; j < k; ++j) q[j] = q[j] + rows[r][j] * uk[r];
    }
}

// The last group, of `used` rows (0 < used < kGroup).
template <int kUsed, bool kUpdate, bool kProduct>
void ReduceMultiplyLastRows(std::int32_t used, double* const* a, std::int32_t k0, const double* w, const double* p,
                            const double* u, double* q) {
    if constexpr (kUsed < kGroup) {
        if (used == kUsed) return ReduceMultiplyRows<kUsed, kUpdate, kProduct>(a, k0, w, p, u, q);
        ReduceMultiplyLastRows<kUsed + 1, kUpdate, kProduct>(used, a, k0, w, p, u, q);
    }
}

template <bool kUpdate, bool kProduct>
void ReduceMultiplyGroups(double* const* a, std::int32_t m, const double* w, const double* p, const double* u,
                          double* q) {
    std::int32_t k0 = 0;
    for (; k0 + kGroup <= m + 1; k0 += kGroup) ReduceMultiplyRows<kGroup, kUpdate, kProduct>(a, k0, w, p, u, q);
    if (k0 <= m) ReduceMultiplyLastRows<1, kUpdate, kProduct>(m + 1 - k0, a, k0, w, p, u, q);
}

void ReduceMultiplyLower(double* const* a, std::int32_t m, const double* w, const double* p, const double* u, double* q,
                         bool update) {
    if (!update)
        ReduceMultiplyGroups<false, true>(a, m, w, p, u, q);
    else if (q == nullptr)
        ReduceMultiplyGroups<true, false>(a, m, w, p, u, q);
    else
        ReduceMultiplyGroups<true, true>(a, m, w, p, u, q);
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

// Four elements from each of p0..p3, returned as the block's four columns.
struct Block4 {
    Four column[4];
};
inline Block4 Transpose4(const double* p0, const double* p1, const double* p2, const double* p3) {
    Four a, b, e, f;
    std::memcpy(&a, p0, sizeof a);
    std::memcpy(&b, p1, sizeof b);
    std::memcpy(&e, p2, sizeof e);
    std::memcpy(&f, p3, sizeof f);
    const Four ab0 = __builtin_shufflevector(a, b, 0, 4, 2, 6), ab1 = __builtin_shufflevector(a, b, 1, 5, 3, 7);
    const Four ef0 = __builtin_shufflevector(e, f, 0, 4, 2, 6), ef1 = __builtin_shufflevector(e, f, 1, 5, 3, 7);
    return {{__builtin_shufflevector(ab0, ef0, 0, 1, 4, 5), __builtin_shufflevector(ab1, ef1, 0, 1, 4, 5),
             __builtin_shufflevector(ab0, ef0, 2, 3, 6, 7), __builtin_shufflevector(ab1, ef1, 2, 3, 6, 7)}};
}

void GatherTransposed(double* __restrict t, std::int32_t ld, const double* const* rows, std::int32_t first,
                      std::int32_t count, std::int32_t width) {
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const double* const r[4] = {rows[i] + first, rows[i + 1] + first, rows[i + 2] + first, rows[i + 3] + first};
        std::int32_t c = 0;
        for (; c + 4 <= width; c += 4) {
            const Block4 o = Transpose4(r[0] + c, r[1] + c, r[2] + c, r[3] + c);
            for (int k = 0; k < 4; ++k) std::memcpy(t + (c + k) * ld + i, &o.column[k], sizeof o.column[k]);
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
            const Block4 o =
                Transpose4(t + c * ld + i, t + (c + 1) * ld + i, t + (c + 2) * ld + i, t + (c + 3) * ld + i);
            for (int k = 0; k < 4; ++k) std::memcpy(r[k] + c, &o.column[k], sizeof o.column[k]);
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
            const Block4 o = Transpose4(q[0] + r, q[1] + r, q[2] + r, q[3] + r);
            for (int k = 0; k < 4; ++k)
                if (takes[r + k] != 0.0) s[h] = s[h] + y[r + k] * o.column[k];
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

constexpr RowOperations kLoops{.addScaled = &AddScaled,
                               .subtractScaled = &SubtractScaled,
                               .subtractTwo = &SubtractTwo,
                               .reduceMultiplyLower = &ReduceMultiplyLower,
                               .rotate = &Rotate,
                               .rotatePair = &RotatePair,
                               .reflect3 = &Reflect3,
                               .reflect2 = &Reflect2,
                               .reflect3Twice = &Reflect3Twice,
                               .reflectRows3 = &ReflectRows3,
                               .reflectRows2 = &ReflectRows2,
                               .reflectRows3Twice = &ReflectRows3Twice,
                               .gatherTransposed = &GatherTransposed,
                               .scatterTransposed = &ScatterTransposed,
                               .addColumnTerms8 = &AddColumnTerms8};

}  // namespace
}  // namespace corvane
