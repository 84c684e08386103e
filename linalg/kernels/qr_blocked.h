// Householder QR and its Q by panels of reflectors, with the bits of
// HouseholderQR and HouseholderFormQ. A panel's columns are reflected one
// after another, each reflector applied at once to the rest of the panel
// (right-looking inside it); its vectors are copied contiguously and then
// applied together, in order, to the trailing columns group by group, so a
// group stays in cache while the whole panel passes over it. Every column
// still receives the same reflectors in the same order, each with the same
// operations: the columns are independent of one another.
#pragma once

#include <cstdint>

#include "linalg/kernel_codes.h"
#include "linalg/kernels/qr.h"
#include "linalg/kernels/qr_block.h"

namespace corvane {

// Reflector r of a block alone.
template <class T>
ReflectorBlock<T> OneReflector(const ReflectorBlock<T>& b, std::int32_t r) {
    return {b.v + r * b.ld, b.ld, b.top + r, b.factor + r, 1};
}

// Work storage of one panel: panel × m elements for the vectors, panel step
// factors and panel first rows.
template <class T>
struct QRPanelWork {
    T* v;
    T* factor;
    std::int32_t* top;
    std::int32_t panel;  // columns per panel, at least 1
};

template <class T, class P = HouseholderPolicy<T>>
int HouseholderQRBlocked(T** w, std::int32_t m, std::int32_t n, T* rdiag, const QRPanelWork<T>& work,
                         ReflectFn<T> reflect) {
    for (std::int32_t k0 = 0; k0 < n; k0 += work.panel) {
        const std::int32_t k1 = n - k0 > work.panel ? k0 + work.panel : n;
        const std::int64_t ld = m - k0;
        ReflectorBlock<T> block{work.v, ld, work.top, work.factor, 0};
        for (std::int32_t k = k0; k < k1; ++k) {
            bool reflected;
            rdiag[k] = MakeReflector<T, P>(w, m, k, &reflected);
            if (!reflected) continue;
            T* v = work.v + block.count * ld;
            for (std::int32_t i = k; i < m; ++i) v[i - k0] = w[i][k];
            work.top[block.count] = k - k0;
            work.factor[block.count] = P::StepFactor(w[k][k]);
            reflect(OneReflector(block, block.count), w + k0, m - k0, k + 1, k1);
            ++block.count;
        }
        reflect(block, w + k0, m - k0, k1, n);
    }
    return kKernelOk;
}

// The panels from the last: a panel's columns of Q start as identity columns
// and receive its reflectors last first, each applied at once to the panel's
// columns from its own on; then the panel passes over the later columns.
template <class T, class P = HouseholderPolicy<T>>
int HouseholderFormQBlocked(T* const* w, const T* rdiag, std::int32_t m, std::int32_t n, T** q,
                            const QRPanelWork<T>& work, ReflectFn<T> reflect) {
    for (std::int32_t k1 = n; k1 > 0;) {
        const std::int32_t k0 = k1 > work.panel ? k1 - work.panel : 0;
        const std::int64_t ld = m - k0;
        for (std::int32_t i = 0; i < m; ++i)
            for (std::int32_t k = k0; k < k1; ++k) q[i][k] = i == k ? P::One() : P::Zero();
        ReflectorBlock<T> block{work.v, ld, work.top, work.factor, 0};
        for (std::int32_t k = k1 - 1; k >= k0; --k) {
            if (!WasReflected<T, P>(w, rdiag, k)) continue;
            T* v = work.v + block.count * ld;
            for (std::int32_t i = k; i < m; ++i) v[i - k0] = w[i][k];
            work.top[block.count] = k - k0;
            work.factor[block.count] = P::StepFactor(w[k][k]);
            reflect(OneReflector(block, block.count), q + k0, m - k0, k, k1);
            ++block.count;
        }
        reflect(block, q + k0, m - k0, k1, n);
        k1 = k0;
    }
    return kKernelOk;
}

}  // namespace corvane
