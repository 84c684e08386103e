// Prints the exact bits of a fixed battery of results, one line per case.
// The test script runs it on every build and requires identical output, so a
// difference in floating-point code generation between targets shows up here.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/matrix.h"

namespace {

using corvane::Matrix;

std::uint64_t state = 0x9E3779B97F4A7C15u;

// A fixed pseudo-random double in [-1, 1), the same on every platform.
double Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state >> 11) * 0x1.0p-52 - 1.0;
}

std::uint64_t Bits(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// FNV-1a over the bits of every element, row by row.
void Print(const char* name, const Matrix& m) {
    std::uint64_t h = 1469598103934665603u;
    for (std::int32_t i = 0; i < m.Rows() && m.sized(); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j) {
            std::uint64_t b = Bits(m.at(i, j));
            for (int k = 0; k < 8; ++k, b >>= 8) h = (h ^ (b & 0xFF)) * 1099511628211u;
        }
    std::printf("%s %dx%d %016" PRIx64 "\n", name, m.Rows(), m.Cols(), h);
}

Matrix Random(std::int32_t rows, std::int32_t cols) {
    Matrix m;
    if (!m.Size(rows, cols).ok()) return m;
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) (void)m.PutItem(i, j, Next() * 1e3);
    return m;
}

}  // namespace

int main() {
    Matrix a = Random(7, 5);
    Print("random", a);
    (void)a.Size(9, 3);
    Print("resized", a);
    (void)a.SwapRows(0, 8);
    (void)a.SwapCols(0, 2);
    Print("swapped", a);
    Matrix v;
    (void)a.ColVector(1, &v);
    Print("colvector", v);
    (void)a.RowVector(4, &v);
    Print("rowvector", v);
    return 0;
}
