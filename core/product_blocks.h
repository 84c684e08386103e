// The cache blocking of the packed products (real and complex): how deep a
// block of k runs, how many rows of a and columns of b it packs, each cut to
// the product and rounded up to whole register tiles.
#pragma once

#include <cstdint>

namespace corvane::product_detail {

inline std::int64_t Min(std::int64_t x, std::int64_t y) { return x < y ? x : y; }
inline std::int64_t RoundUp(std::int64_t x, std::int64_t unit) { return (x + unit - 1) / unit * unit; }

// Blocks of a product of m × p by p × q for a kernel's register tile; an
// element packs as kDoubles doubles. Storage() is what one range of columns
// needs.
template <std::int64_t kDepth, std::int64_t kRowBlock, std::int64_t kColBlock, std::int64_t kDoubles>
struct PackedBlocks {
    std::int64_t depth, rows, cols;
    template <class Kernel>
    PackedBlocks(const Kernel& kernel, std::int64_t m, std::int64_t p, std::int64_t q)
        : depth(Min(kDepth, p)),
          rows(Min(RoundUp(kRowBlock, kernel.rows), RoundUp(m, kernel.rows))),
          cols(Min(RoundUp(kColBlock, kernel.cols), RoundUp(q, kernel.cols))) {}
    std::int64_t Storage() const { return kDoubles * depth * (rows + cols); }
};

}  // namespace corvane::product_detail
