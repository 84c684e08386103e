#include "core/product_packed.h"

#include "core/buffer.h"
#include "core/parallel.h"
#include "core/product_blocks.h"

namespace corvane {
namespace {

// Depth of a block: its panel of b (kDepth × tile cols) stays in the first
// level cache while the row panels of a pass by. Rows of a per block: the
// packed block of a (kRows × kDepth) stays in the second level. Columns per
// block: the packed block of b (kDepth × kCols) in the last level.
constexpr std::int64_t kDepth = 256;
constexpr std::int64_t kRowBlock = 192;
constexpr std::int64_t kColBlock = 2880;
constexpr int kMaxTile = 256;  // elements of the largest register tile

using product_detail::Min;
using product_detail::RoundUp;

// b(k0 + k, j0 + j) for k < depth, j < width, as panels of `cols` columns:
// panel t holds element (k, t·cols + l) at t·cols·depth + k·cols + l; the
// columns past `width` are zero.
void PackColumns(const double* const* b, std::int64_t k0, std::int64_t depth, std::int64_t j0, std::int64_t width,
                 std::int64_t cols, double* out) {
    for (std::int64_t t = 0; t < width; t += cols) {
        const std::int64_t n = Min(cols, width - t);
        for (std::int64_t k = 0; k < depth; ++k) {
            const double* from = b[k0 + k] + j0 + t;
            std::int64_t l = 0;
            for (; l < n; ++l) out[l] = from[l];
            for (; l < cols; ++l) out[l] = 0.0;
            out += cols;
        }
    }
}

// One full panel of kRows rows: element (r, k) at k·kRows + r, written in
// storage order from kRows rows read side by side.
template <int kRows, bool kNegate>
void PackPanel(const double* const* from, std::int64_t depth, double* out) {
    for (std::int64_t k = 0; k < depth; ++k, out += kRows)
#pragma GCC unroll 8
        for (int r = 0; r < kRows; ++r) out[r] = kNegate ? -from[r][k] : from[r][k];
}

template <int kRows>
bool PackFullPanel(const double* const* from, std::int64_t depth, bool negate, double* out) {
    if (negate)
        PackPanel<kRows, true>(from, depth, out);
    else
        PackPanel<kRows, false>(from, depth, out);
    return true;
}

// The register tile heights in use get their own unrolled copy.
bool PackFullPanel(const double* const* from, std::int64_t rows, std::int64_t depth, bool negate, double* out) {
    switch (rows) {
    case 4: return PackFullPanel<4>(from, depth, negate, out);
    case 6: return PackFullPanel<6>(from, depth, negate, out);
    case 8: return PackFullPanel<8>(from, depth, negate, out);
    default: return false;
    }
}

// a(i0 + i, k0 + k) for i < height, k < depth, as panels of `rows` rows:
// panel t holds element (t·rows + r, k) at t·rows·depth + k·rows + r; the
// rows past `height` are zero.
void PackRows(const double* const* a, std::int64_t i0, std::int64_t height, std::int64_t k0, std::int64_t depth,
              std::int64_t rows, bool negate, double* out) {
    static constexpr double kZeros[kDepth] = {};  // the rows past `height`
    const double* from[kMaxTile];
    for (std::int64_t t = 0; t < height; t += rows) {
        const std::int64_t n = Min(rows, height - t);
        for (std::int64_t r = 0; r < rows; ++r) from[r] = r < n ? a[i0 + t + r] + k0 : kZeros;
        if (!PackFullPanel(from, rows, depth, negate, out)) {
            for (std::int64_t r = 0; r < rows; ++r)
                for (std::int64_t k = 0; k < depth; ++k) out[k * rows + r] = negate ? -from[r][k] : from[r][k];
        }
        out += rows * depth;
    }
}

using Blocks = product_detail::PackedBlocks<kDepth, kRowBlock, kColBlock, 1>;

// Columns [j0, j1) of c, with `work` holding Blocks::Storage() elements.
void ProductColumns(const PackedProductKernel& kernel, const double* const* a, const double* const* b, double* const* c,
                    std::int64_t m, std::int64_t p, std::int64_t j0, std::int64_t j1, bool negate, const Blocks& blocks,
                    double* work) noexcept {
    const std::int64_t mr = kernel.rows, nr = kernel.cols;
    const std::int64_t depthMax = blocks.depth, rowsMax = blocks.rows, colsMax = blocks.cols;
    double* const packedB = work;
    double* const packedA = packedB + depthMax * colsMax;

    // A tile cut short by the edge of c is worked in a local copy.
    double edge[kMaxTile];
    double* edgeRows[kMaxTile];
    for (std::int64_t r = 0; r < mr; ++r) edgeRows[r] = edge + r * nr;

    for (std::int64_t jc = j0; jc < j1; jc += colsMax) {
        const std::int64_t width = Min(colsMax, j1 - jc);
        for (std::int64_t kc = 0; kc < p; kc += depthMax) {  // increasing k: the order of every sum
            const std::int64_t depth = Min(depthMax, p - kc);
            PackColumns(b, kc, depth, jc, width, nr, packedB);
            for (std::int64_t ic = 0; ic < m; ic += rowsMax) {
                const std::int64_t height = Min(rowsMax, m - ic);
                PackRows(a, ic, height, kc, depth, mr, negate, packedA);
                for (std::int64_t jr = 0; jr < width; jr += nr) {
                    const std::int64_t cols = Min(nr, width - jr);
                    const double* bp = packedB + jr * depth;
                    for (std::int64_t ir = 0; ir < height; ir += mr) {
                        const std::int64_t rows = Min(mr, height - ir);
                        const double* ap = packedA + ir * depth;
                        double* const* cRows = c + ic + ir;
                        const std::int64_t col = jc + jr;
                        if (rows == mr && cols == nr) {
                            kernel.tile(depth, ap, bp, cRows, col);
                            continue;
                        }
                        for (std::int64_t r = 0; r < mr; ++r)
                            for (std::int64_t l = 0; l < nr; ++l)
                                edge[r * nr + l] = r < rows && l < cols ? cRows[r][col + l] : 0.0;
                        kernel.tile(depth, ap, bp, edgeRows, 0);
                        for (std::int64_t r = 0; r < rows; ++r)
                            for (std::int64_t l = 0; l < cols; ++l) cRows[r][col + l] = edge[r * nr + l];
                    }
                }
            }
        }
    }
}

}  // namespace

std::int64_t PackedStorage(const PackedProductKernel& kernel, std::int32_t m, std::int32_t p, std::int32_t q) noexcept {
    if (m < 1 || p < 1 || q < 1 || kernel.rows < 1 || kernel.cols < 1) return 0;
    return Blocks(kernel, m, p, q).Storage();
}

bool MatrixProductPacked(const PackedProductKernel& kernel, const double* const* a, const double* const* b,
                         double* const* c, std::int32_t m, std::int32_t p, std::int32_t q, bool negate,
                         double* storage) noexcept {
    if (m < 1 || p < 1 || q < 1 || kernel.rows < 1 || kernel.cols < 1 || kernel.rows * kernel.cols > kMaxTile)
        return true;
    const int parts = ProductParts(m, p, q, kernel.cols);
    const Blocks blocks(kernel, m, p, WidestPart(parts, q, kernel.cols));
    return RunPartsWithStorage(parts, blocks.Storage(), storage, [&](int t, double* work) {
        const ColumnRange range = PartColumns(t, parts, q, kernel.cols);
        ProductColumns(kernel, a, b, c, m, p, range.first, range.last, negate, blocks, work);
    });
}

}  // namespace corvane
