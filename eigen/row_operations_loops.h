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

// Chains of steps: strips of columns, each of `Strips` registers, walk down
// the rows with the two rows a step passes on held in registers. Step s is
// the reflector (v = p·x + q·y + r·z; x −= v; y −= v·qq; z −= v·rr) or, with
// kRows, its row form (v = x + qq·y + rr·z; x −= v·p; y −= v·q; z −= v·r).
// Several strips side by side hide the latency of one step's dependence on
// the last. In 32-bit mode there are only eight vector registers.
constexpr int kChainStrips = sizeof(void*) == 4 ? 2 : (kLanes == 8 ? 4 : 2);

template <bool kRows, class V>
inline __attribute__((always_inline)) void ChainStep(V& x, V& y, V z, const double* c, double* out) {
    if constexpr (kRows) {
        const V v = x + c[3] * y + c[4] * z;
        const V done = x - v * c[0];
        std::memcpy(out, &done, sizeof done);
        x = y - v * c[1];
        y = z - v * c[2];
    } else {
        const V v = c[0] * x + c[1] * y + c[2] * z;
        const V done = x - v;
        std::memcpy(out, &done, sizeof done);
        x = y - v * c[3];
        y = z - v * c[4];
    }
}

template <bool kRows, int Strips, class V>
void ChainStrips(double* const* w, std::int32_t j, const double* c, std::int32_t stride, std::int32_t count) {
    constexpr int kStep = static_cast<int>(sizeof(V) / sizeof(double));
    V x[Strips], y[Strips];
    for (int u = 0; u < Strips; ++u) {
        std::memcpy(&x[u], w[0] + j + u * kStep, sizeof(V));
        std::memcpy(&y[u], w[1] + j + u * kStep, sizeof(V));
    }
    for (std::int32_t s = 0; s < count; ++s) {
        const double* const cs = c + static_cast<std::int64_t>(s) * stride;
        const double* const in = w[s + 2] + j;
        double* const out = w[s] + j;
        for (int u = 0; u < Strips; ++u) {
            V z;
            std::memcpy(&z, in + u * kStep, sizeof(V));
            ChainStep<kRows>(x[u], y[u], z, cs, out + u * kStep);
        }
    }
    for (int u = 0; u < Strips; ++u) {
        std::memcpy(w[count] + j + u * kStep, &x[u], sizeof(V));
        std::memcpy(w[count + 1] + j + u * kStep, &y[u], sizeof(V));
    }
}

// ChainStrips with `strips` (< Max + 1) strips of V.
template <bool kRows, int Max, class V>
void ChainRest(double* const* w, std::int32_t j, std::int32_t strips, const double* c, std::int32_t stride,
               std::int32_t count) {
    if constexpr (Max > 0) {
        if (strips == Max)
            ChainStrips<kRows, Max, V>(w, j, c, stride, count);
        else
            ChainRest<kRows, Max - 1, V>(w, j, strips, c, stride, count);
    }
}

template <bool kRows>
void Chain3(double* const* w, std::int32_t first, std::int32_t n, const double* c, std::int32_t stride,
            std::int32_t count) {
    if (count <= 0) return;
    std::int32_t j = first;
    const std::int32_t end = first + n;
    for (; j + kChainStrips * kLanes <= end; j += kChainStrips * kLanes)
        ChainStrips<kRows, kChainStrips, Lanes>(w, j, c, stride, count);
    // The last columns still side by side: whole registers, then single
    // elements.
    ChainRest<kRows, kChainStrips - 1, Lanes>(w, j, (end - j) / kLanes, c, stride, count);
    j += (end - j) / kLanes * kLanes;
    ChainRest<kRows, kLanes - 1, double>(w, j, end - j, c, stride, count);
}

// AddRowTerms4 on the columns j..j + Strips·kLanes − 1 (of y: from j − first):
// the sixteen or fewer sums stay in registers while k runs.
template <int Strips, class V>
void RowTermStrips(double* const* y, const double* const* x, std::int32_t first, std::int32_t j, const double* const* s,
                   std::int32_t k0, std::int32_t k1) {
    constexpr int kStep = static_cast<int>(sizeof(V) / sizeof(double));
    V acc[4][Strips];
    for (int q = 0; q < 4; ++q)
        for (int u = 0; u < Strips; ++u) std::memcpy(&acc[q][u], y[q] + (j - first) + u * kStep, sizeof(V));
    for (std::int32_t k = k0; k <= k1; ++k) {
        V xv[Strips];
        for (int u = 0; u < Strips; ++u) std::memcpy(&xv[u], x[k] + j + u * kStep, sizeof(V));
        for (int q = 0; q < 4; ++q) {
            const double sq = s[q][k];
            for (int u = 0; u < Strips; ++u) acc[q][u] = acc[q][u] + xv[u] * sq;
        }
    }
    for (int q = 0; q < 4; ++q)
        for (int u = 0; u < Strips; ++u) std::memcpy(y[q] + (j - first) + u * kStep, &acc[q][u], sizeof(V));
}

constexpr int kRowTermStrips = sizeof(void*) == 4 ? 1 : (kLanes == 8 ? 3 : 2);

void AddRowTerms4(double* const* y, const double* const* x, std::int32_t first, const double* const* s, std::int32_t k0,
                  std::int32_t k1, std::int32_t n) {
    std::int32_t j = first;
    const std::int32_t end = first + n;
    for (; j + kRowTermStrips * kLanes <= end; j += kRowTermStrips * kLanes)
        RowTermStrips<kRowTermStrips, Lanes>(y, x, first, j, s, k0, k1);
    for (; j + kLanes <= end; j += kLanes) RowTermStrips<1, Lanes>(y, x, first, j, s, k0, k1);
    for (; j < end; ++j) RowTermStrips<1, double>(y, x, first, j, s, k0, k1);
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

void AddConjugateProduct(double* __restrict sr, double* __restrict si, const double* __restrict xr,
                         const double* __restrict xi, double ur, double ui, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        sr[j] = sr[j] + (ur * xr[j] + ui * xi[j]);
        si[j] = si[j] + (ur * xi[j] - ui * xr[j]);
    }
}

void AddProduct(double* __restrict sr, double* __restrict si, const double* __restrict xr, const double* __restrict xi,
                double ur, double ui, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        sr[j] = sr[j] + (ur * xr[j] - ui * xi[j]);
        si[j] = si[j] + (ur * xi[j] + ui * xr[j]);
    }
}

void AddRowProducts8(double* sr, double* si, const double* const* xr, const double* const* xi, const double* ur,
                     const double* ui, std::int32_t first, std::int32_t last) {
    Lanes8 fr, fi;
    std::memcpy(&fr, sr, sizeof fr);
    std::memcpy(&fi, si, sizeof fi);
    std::int32_t j = last;
    // Squares of eight rows by eight columns, transposed so that each
    // register holds one column's elements, taken from the last column.
    for (; j - 7 >= first; j -= 8) {
        Lanes8 tr[8], ti[8];
        for (int q = 0; q < 8; ++q) {
            std::memcpy(&tr[q], xr[q] + j - 7, sizeof tr[q]);
            std::memcpy(&ti[q], xi[q] + j - 7, sizeof ti[q]);
        }
        TransposeLanes(tr);
        TransposeLanes(ti);
        for (int c = 7; c >= 0; --c) {
            const double a = ur[j - 7 + c], b = ui[j - 7 + c];
            fr = fr + (a * tr[c] - b * ti[c]);
            fi = fi + (a * ti[c] + b * tr[c]);
        }
    }
    for (; j >= first; --j) {
        const Lanes8 vr = {xr[0][j], xr[1][j], xr[2][j], xr[3][j], xr[4][j], xr[5][j], xr[6][j], xr[7][j]};
        const Lanes8 vi = {xi[0][j], xi[1][j], xi[2][j], xi[3][j], xi[4][j], xi[5][j], xi[6][j], xi[7][j]};
        fr = fr + (ur[j] * vr - ui[j] * vi);
        fi = fi + (ur[j] * vi + ui[j] * vr);
    }
    std::memcpy(sr, &fr, sizeof fr);
    std::memcpy(si, &fi, sizeof fi);
}

void AddProductWith(double* __restrict xr, double* __restrict xi, const double* __restrict sr,
                    const double* __restrict si, double ur, double ui, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        xr[j] = xr[j] + (sr[j] * ur - si[j] * ui);
        xi[j] = xi[j] + (sr[j] * ui + si[j] * ur);
    }
}

void SubtractProductWith(double* __restrict xr, double* __restrict xi, const double* __restrict sr,
                         const double* __restrict si, double ur, double ui, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        xr[j] = xr[j] - sr[j] * ur + si[j] * ui;
        xi[j] = xi[j] - sr[j] * ui - si[j] * ur;
    }
}

void SubtractScaledConjugate(double* __restrict xr, double* __restrict xi, const double* __restrict ur,
                             const double* __restrict ui, double fr, double fi, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        xr[j] = xr[j] - fr * ur[j] - fi * ui[j];
        xi[j] = xi[j] + fr * ui[j] - fi * ur[j];
    }
}

void AddComplexProduct(double* __restrict sr, double* __restrict si, const double* __restrict xr,
                       const double* __restrict xi, double zr, double zi, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        sr[j] = sr[j] + ((zr * xr[j]) - (xi[j] * zi));
        si[j] = si[j] + ((xr[j] * zi) + (xi[j] * zr));
    }
}

void ComplexColumnStep(double* __restrict yr, double* __restrict yi, double* __restrict zr, double* __restrict zi,
                       double xr, double xi, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double ar = yr[j], ai = yi[j], br = zr[j], bi = zi[j];
        yr[j] = xr * ar - xi * ai + s * br;
        yi[j] = xr * ai + xi * ar + s * bi;
        zr[j] = xr * br + xi * bi - s * ar;
        zi[j] = xr * bi - xi * br - s * ai;
    }
}

void ComplexRowStep(double* __restrict yr, double* __restrict yi, double* __restrict zr, double* __restrict zi,
                    double xr, double xi, double s, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double ar = yr[j], ai = yi[j], br = zr[j], bi = zi[j];
        yr[j] = xr * ar + xi * ai + s * br;
        yi[j] = xr * ai - xi * ar + s * bi;
        zr[j] = xr * br - xi * bi - s * ar;
        zi[j] = xr * bi + xi * br - s * ai;
    }
}

void ComplexScale(double* __restrict yr, double* __restrict yi, double ur, double ui, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double ar = yr[j], ai = yi[j];
        yr[j] = ur * ar - ui * ai;
        yi[j] = ur * ai + ui * ar;
    }
}

void ComplexScaleConjugate(double* __restrict yr, double* __restrict yi, double ur, double ui, std::int32_t n) {
    for (std::int32_t j = 0; j < n; ++j) {
        const double ar = yr[j], ai = yi[j];
        yr[j] = ur * ar + ui * ai;
        yi[j] = ur * ai - ui * ar;
    }
}

// One complexStepRun over R registers of V (Lanes, or a double): the carried
// row (yr, yi) meets row k + 1 at each step; R chains side by side hide each
// step's latency.
template <class V, int R, bool kRowSteps>
inline __attribute__((always_inline)) void StepRunLanes(double* const* rr, double* const* ri, std::int32_t c,
                                                        const double* coef, std::int32_t stride, std::int32_t count) {
    constexpr std::int32_t kStep = sizeof(V) / sizeof(double);
    V yr[R], yi[R];
    for (int r = 0; r < R; ++r) {
        std::memcpy(&yr[r], rr[0] + c + r * kStep, sizeof(V));
        std::memcpy(&yi[r], ri[0] + c + r * kStep, sizeof(V));
    }
    for (std::int32_t k = 0; k < count; ++k) {
        const double* const q = coef + static_cast<std::ptrdiff_t>(k) * stride;
        const double xr = q[0], xi = q[1], s = q[2];
        double* const ur = rr[k] + c;
        double* const ui = ri[k] + c;
        double* const vr = rr[k + 1] + c;
        double* const vi = ri[k + 1] + c;
        for (int r = 0; r < R; ++r) {
            V zr, zi;
            std::memcpy(&zr, vr + r * kStep, sizeof(V));
            std::memcpy(&zi, vi + r * kStep, sizeof(V));
            V ar, ai, br, bi;
            if constexpr (kRowSteps) {
                ar = xr * yr[r] + xi * yi[r] + s * zr;
                ai = xr * yi[r] - xi * yr[r] + s * zi;
                br = xr * zr - xi * zi - s * yr[r];
                bi = xr * zi + xi * zr - s * yi[r];
            } else {
                ar = xr * yr[r] - xi * yi[r] + s * zr;
                ai = xr * yi[r] + xi * yr[r] + s * zi;
                br = xr * zr + xi * zi - s * yr[r];
                bi = xr * zi - xi * zr - s * yi[r];
            }
            std::memcpy(ur + r * kStep, &ar, sizeof(V));
            std::memcpy(ui + r * kStep, &ai, sizeof(V));
            yr[r] = br;
            yi[r] = bi;
        }
    }
    for (int r = 0; r < R; ++r) {
        std::memcpy(rr[count] + c + r * kStep, &yr[r], sizeof(V));
        std::memcpy(ri[count] + c + r * kStep, &yi[r], sizeof(V));
    }
}

template <bool kRowSteps>
void StepRun(double* const* rr, double* const* ri, std::int32_t first, std::int32_t n, const double* coef,
             std::int32_t stride, std::int32_t count) {
    std::int32_t c = first;
    const std::int32_t end = first + n;
    // Four registers' chains where 32 of them hold the carried rows, two
    // otherwise.
    constexpr int kChains = kLanes == 8 ? 4 : 2;
    for (; c + kChains * kLanes <= end; c += kChains * kLanes)
        StepRunLanes<Lanes, kChains, kRowSteps>(rr, ri, c, coef, stride, count);
    if constexpr (kChains > 2)
        for (; c + 2 * kLanes <= end; c += 2 * kLanes)
            StepRunLanes<Lanes, 2, kRowSteps>(rr, ri, c, coef, stride, count);
    for (; c + kLanes <= end; c += kLanes) StepRunLanes<Lanes, 1, kRowSteps>(rr, ri, c, coef, stride, count);
    for (; c < end; ++c) StepRunLanes<double, 1, kRowSteps>(rr, ri, c, coef, stride, count);
}

void ComplexStepRun(double* const* rr, double* const* ri, std::int32_t first, std::int32_t n, const double* coef,
                    std::int32_t stride, std::int32_t count, bool rowSteps) {
    if (rowSteps)
        StepRun<true>(rr, ri, first, n, coef, stride, count);
    else
        StepRun<false>(rr, ri, first, n, coef, stride, count);
}

constexpr RowOperations kLoops{.addScaled = &AddScaled,
                               .addRowTerms4 = &AddRowTerms4,
                               .subtractScaled = &SubtractScaled,
                               .subtractTwo = &SubtractTwo,
                               .reduceMultiplyLower = &ReduceMultiplyLower,
                               .rotate = &Rotate,
                               .rotatePair = &RotatePair,
                               .reflect3 = &Reflect3,
                               .reflect2 = &Reflect2,
                               .reflectRows3 = &ReflectRows3,
                               .reflectRows2 = &ReflectRows2,
                               .reflect3Chain = &Chain3<false>,
                               .reflectRows3Chain = &Chain3<true>,
                               .gatherTransposed = &GatherTransposed,
                               .scatterTransposed = &ScatterTransposed,
                               .addColumnTerms8 = &AddColumnTerms8,
                               .addConjugateProduct = &AddConjugateProduct,
                               .addProduct = &AddProduct,
                               .addRowProducts8 = &AddRowProducts8,
                               .addProductWith = &AddProductWith,
                               .subtractProductWith = &SubtractProductWith,
                               .subtractScaledConjugate = &SubtractScaledConjugate,
                               .addComplexProduct = &AddComplexProduct,
                               .complexColumnStep = &ComplexColumnStep,
                               .complexRowStep = &ComplexRowStep,
                               .complexScale = &ComplexScale,
                               .complexScaleConjugate = &ComplexScaleConjugate,
                               .complexStepRun = &ComplexStepRun};

}  // namespace
}  // namespace corvane
