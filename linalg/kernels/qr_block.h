// A block of Householder reflectors as the blocked QR hands it to the
// routine that applies it: types only, so that an instruction-set file can
// name them before it selects its target.
#pragma once

#include <cstdint>

namespace corvane {

// Vector r holds its entries for rows top[r] … rows − 1 at v[r·ld + i] (rows
// relative to the block's first row), factor[r] its step factor.
template <class T>
struct ReflectorBlock {
    const T* v;
    std::int64_t ld;
    const std::int32_t* top;
    const T* factor;
    std::int32_t count;
};

// Applies every reflector of a block to columns col0 … col1 − 1 of rows
// 0 … nrows − 1 (the block's frame); chosen by instruction set.
template <class T>
using ReflectFn = void (*)(const ReflectorBlock<T>& b, T* const* rows, std::int32_t nrows, std::int64_t col0,
                           std::int64_t col1);

}  // namespace corvane
