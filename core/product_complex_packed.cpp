#include "core/product_complex_packed.h"

#include "core/buffer.h"
#include "core/parallel.h"
#include "core/product_blocks.h"

namespace corvane {
namespace {

// As the real product's blocks (product_packed.cpp), halved for elements of
// twice the size.
constexpr std::int64_t kDepth = 128;
constexpr std::int64_t kRowBlock = 96;
constexpr std::int64_t kColBlock = 1440;
constexpr int kMaxTile = 128;  // elements of the largest register tile

using product_detail::Min;
using product_detail::RoundUp;

// b(k0 + k, j0 + j) for k < depth, j < width as panels of `cols` columns: per
// k, cols real parts then cols imaginary parts; columns past `width` are zero.
void PackColumns(const Complex* const* b, std::int64_t k0, std::int64_t depth, std::int64_t j0, std::int64_t width,
                 std::int64_t cols, double* out) {
    for (std::int64_t t = 0; t < width; t += cols) {
        const std::int64_t n = Min(cols, width - t);
        for (std::int64_t k = 0; k < depth; ++k) {
            const Complex* from = b[k0 + k] + j0 + t;
            for (std::int64_t l = 0; l < cols; ++l) {
                out[l] = l < n ? from[l].Real : 0.0;
                out[cols + l] = l < n ? from[l].Imag : 0.0;
            }
            out += 2 * cols;
        }
    }
}

// a(i0 + i, k0 + k) for i < height, k < depth as panels of `rows` rows: per
// k, rows real parts then rows imaginary parts; rows past `height` are zero.
void PackRows(const Complex* const* a, std::int64_t i0, std::int64_t height, std::int64_t k0, std::int64_t depth,
              std::int64_t rows, double* out) {
    for (std::int64_t t = 0; t < height; t += rows) {
        const std::int64_t n = Min(rows, height - t);
        for (std::int64_t r = 0; r < rows; ++r) {
            const Complex* from = r < n ? a[i0 + t + r] + k0 : nullptr;
            for (std::int64_t k = 0; k < depth; ++k) {
                out[2 * k * rows + r] = from == nullptr ? 0.0 : from[k].Real;
                out[(2 * k + 1) * rows + r] = from == nullptr ? 0.0 : from[k].Imag;
            }
        }
        out += 2 * rows * depth;
    }
}

using Blocks = product_detail::PackedBlocks<kDepth, kRowBlock, kColBlock, 2>;

// Columns [j0, j1) of c, with `work` holding Blocks::Storage() elements.
void ProductColumns(const ComplexProductKernel& kernel, const Complex* const* a, const Complex* const* b,
                    Complex* const* c, std::int64_t m, std::int64_t p, std::int64_t j0, std::int64_t j1, bool subtract,
                    const Blocks& blocks, double* work) noexcept {
    const std::int64_t mr = kernel.rows, nr = kernel.cols;
    const std::int64_t depthMax = blocks.depth, rowsMax = blocks.rows, colsMax = blocks.cols;
    double* const packedB = work;
    double* const packedA = packedB + 2 * depthMax * colsMax;
    const ComplexTileFn tile = subtract ? kernel.subtract : kernel.add;

    // Every tile of c is worked in a local copy with its parts apart.
    double re[kMaxTile], im[kMaxTile];
    for (std::int64_t jc = j0; jc < j1; jc += colsMax) {
        const std::int64_t width = Min(colsMax, j1 - jc);
        for (std::int64_t kc = 0; kc < p; kc += depthMax) {  // increasing k: the order of every sum
            const std::int64_t depth = Min(depthMax, p - kc);
            PackColumns(b, kc, depth, jc, width, nr, packedB);
            for (std::int64_t ic = 0; ic < m; ic += rowsMax) {
                const std::int64_t height = Min(rowsMax, m - ic);
                PackRows(a, ic, height, kc, depth, mr, packedA);
                for (std::int64_t jr = 0; jr < width; jr += nr) {
                    const std::int64_t cols = Min(nr, width - jr);
                    const double* bp = packedB + 2 * jr * depth;
                    for (std::int64_t ir = 0; ir < height; ir += mr) {
                        const std::int64_t rows = Min(mr, height - ir);
                        Complex* const* cRows = c + ic + ir;
                        const std::int64_t col = jc + jr;
                        for (std::int64_t r = 0; r < mr; ++r)
                            for (std::int64_t l = 0; l < nr; ++l) {
                                const bool inside = r < rows && l < cols;
                                re[r * nr + l] = inside ? cRows[r][col + l].Real : 0.0;
                                im[r * nr + l] = inside ? cRows[r][col + l].Imag : 0.0;
                            }
                        tile(depth, packedA + 2 * ir * depth, bp, re, im);
                        for (std::int64_t r = 0; r < rows; ++r)
                            for (std::int64_t l = 0; l < cols; ++l)
                                cRows[r][col + l] = Complex{re[r * nr + l], im[r * nr + l]};
                    }
                }
            }
        }
    }
}

}  // namespace

std::int64_t ComplexPackedStorage(const ComplexProductKernel& kernel, std::int32_t m, std::int32_t p,
                                  std::int32_t q) noexcept {
    if (m < 1 || p < 1 || q < 1 || kernel.rows < 1 || kernel.cols < 1) return 0;
    return Blocks(kernel, m, p, q).Storage();
}

bool ComplexProductPacked(const ComplexProductKernel& kernel, const Complex* const* a, const Complex* const* b,
                          Complex* const* c, std::int32_t m, std::int32_t p, std::int32_t q, bool subtract,
                          double* storage) noexcept {
    if (m < 1 || p < 1 || q < 1 || kernel.rows < 1 || kernel.cols < 1 || kernel.rows * kernel.cols > kMaxTile)
        return true;
    // Each complex multiply-add is four real ones.
    const int parts = ProductParts(4 * static_cast<std::int64_t>(m), p, q, kernel.cols);
    const Blocks blocks(kernel, m, p, WidestPart(parts, q, kernel.cols));
    return RunPartsWithStorage(parts, blocks.Storage(), storage, [&](int t, double* work) {
        const ColumnRange range = PartColumns(t, parts, q, kernel.cols);
        ProductColumns(kernel, a, b, c, m, p, range.first, range.last, subtract, blocks, work);
    });
}

}  // namespace corvane
