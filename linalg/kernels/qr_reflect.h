// A block of Householder reflectors applied, one after another, to a group
// of columns that stays in cache while all of them pass over it. Each column
// still receives every reflector in the block's order as s = Σ v(i)·x(i) in
// increasing i from zero, s times the step, then x(i) += s·v(i); the columns
// of a group are independent, so they are carried side by side in registers.
// The update by one reflector and the sum of the next share one pass over
// the rows: the sum reads each element just after its update.
//
// Written once for every register width: V supplies Elem, Reg, kWidth
// (elements per register), Load, Store, Broadcast, Mul, Add (separate
// rounded operations, never fused) and Step (the policy's ApplyStep), called
// through an object so that a masked V can carry its mask. The
// instruction-set files include this after selecting their target, with
// their own V, which keeps the instances apart.
#pragma once

#include <cstdint>

#include "linalg/kernels/qr_block.h"

namespace corvane {

// Applies every reflector of b to rows[·][col … col + kVecs·kWidth), rows
// 0 … nrows − 1 of the block's frame.
template <class V, int kVecs>
inline void ReflectGroup(const V& ops, const ReflectorBlock<typename V::Elem>& b, typename V::Elem* const* rows,
                         std::int32_t nrows, std::int64_t col) {
    using E = typename V::Elem;
    using Reg = typename V::Reg;
    constexpr int kW = V::kWidth;
    Reg acc[kVecs], s[kVecs];
#pragma GCC unroll 8
    for (int c = 0; c < kVecs; ++c) acc[c] = V::Zero();
    for (std::int32_t i = b.top[0]; i < nrows; ++i) {
        const Reg vi = V::Broadcast(b.v + i);
        const E* x = rows[i] + col;
#pragma GCC unroll 8
        for (int c = 0; c < kVecs; ++c) acc[c] = V::Add(acc[c], V::Mul(vi, ops.Load(x + c * kW)));
    }
    for (std::int32_t r = 0; r < b.count; ++r) {
        const Reg f = V::Broadcast(b.factor + r);
#pragma GCC unroll 8
        for (int c = 0; c < kVecs; ++c) s[c] = V::Step(acc[c], f);
        const E* vr = b.v + r * b.ld;
        const std::int32_t tr = b.top[r];
        // The next reflector's sum starts at its own top: rows above the
        // current top are summed unchanged, rows above its top only updated.
        const bool last = r + 1 == b.count;
        const E* vn = last ? vr : vr + b.ld;
        const std::int32_t tn = last ? nrows : b.top[r + 1];
#pragma GCC unroll 8
        for (int c = 0; c < kVecs; ++c) acc[c] = V::Zero();
        std::int32_t i = tr < tn ? tr : tn;
        for (; i < tr; ++i) {
            const Reg vi = V::Broadcast(vn + i);
            const E* x = rows[i] + col;
#pragma GCC unroll 8
            for (int c = 0; c < kVecs; ++c) acc[c] = V::Add(acc[c], V::Mul(vi, ops.Load(x + c * kW)));
        }
        for (; i < tn; ++i) {
            const Reg vi = V::Broadcast(vr + i);
            E* x = rows[i] + col;
#pragma GCC unroll 8
            for (int c = 0; c < kVecs; ++c) ops.Store(x + c * kW, V::Add(ops.Load(x + c * kW), V::Mul(s[c], vi)));
        }
        for (; i < nrows; ++i) {
            const Reg vi = V::Broadcast(vr + i), ni = V::Broadcast(vn + i);
            E* x = rows[i] + col;
#pragma GCC unroll 8
            for (int c = 0; c < kVecs; ++c) {
                const Reg y = V::Add(ops.Load(x + c * kW), V::Mul(s[c], vi));
                ops.Store(x + c * kW, y);
                acc[c] = V::Add(acc[c], V::Mul(ni, y));
            }
        }
    }
}

// Columns col0 … col1 − 1: groups of kVecs registers, then single registers,
// then what remains in one register of which only the leading lanes are
// loaded and stored (V::Masked, constructed from the lane count), or one
// element at a time (Scalar: the same steps on elements, kWidth 1; unused,
// and may be void, when V has Masked).
template <class V, int kVecs, class Scalar>
inline void ReflectColumns(const ReflectorBlock<typename V::Elem>& b, typename V::Elem* const* rows, std::int32_t nrows,
                           std::int64_t col0, std::int64_t col1) {
    if (b.count == 0) return;
    const V ops{};
    std::int64_t j = col0;
    for (; j + kVecs * V::kWidth <= col1; j += kVecs * V::kWidth) ReflectGroup<V, kVecs>(ops, b, rows, nrows, j);
    if constexpr (kVecs > 1)
        for (; j + V::kWidth <= col1; j += V::kWidth) ReflectGroup<V, 1>(ops, b, rows, nrows, j);
    if constexpr (requires { typename V::Masked; }) {
        if (j < col1)
            ReflectGroup<typename V::Masked, 1>(typename V::Masked(static_cast<int>(col1 - j)), b, rows, nrows, j);
    } else if constexpr (V::kWidth > 1) {
        for (; j < col1; ++j) ReflectGroup<Scalar, 1>(Scalar{}, b, rows, nrows, j);
    }
}

// Elements as registers of width 1: the portable path and the remainder of
// the SSE2 path. P is the Householder policy of T (declared in qr.h).
template <class T, class P>
struct ScalarReflect {
    using Elem = T;
    using Reg = T;
    static constexpr int kWidth = 1;
    static T Zero() { return P::Zero(); }
    static T Load(const T* p) { return *p; }
    static void Store(T* p, T x) { *p = x; }
    static T Broadcast(const T* p) { return *p; }
    static T Mul(T x, T y) { return x * y; }
    static T Add(T x, T y) { return x + y; }
    static T Step(T sum, T factor) { return P::ApplyStep(sum, factor); }
};

}  // namespace corvane
