// Prints the exact bits of a fixed battery of results, one line per value.
// The test script runs it on every build and requires identical output, so a
// difference in floating-point code generation between targets shows up here.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "digest.h"

namespace corvane::digest {
namespace {

std::vector<std::pair<std::string, CaseFn>>& Cases() {
    static std::vector<std::pair<std::string, CaseFn>> cases;
    return cases;
}

std::uint64_t BitsOf(double x) {
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

std::uint64_t state = 0x9E3779B97F4A7C15u;

// FNV-1a over the bits of every element, row by row.
template <class T>
std::uint64_t Hash(const BasicMatrix<T>& m) {
    std::uint64_t h = 1469598103934665603u;
    if (!m.sized()) return h;
    for (std::int32_t i = 0; i < m.Rows(); ++i) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(m.rows()[i]);
        for (std::uint32_t k = 0; k < m.RowBytes(); ++k) h = (h ^ bytes[k]) * 1099511628211u;
    }
    return h;
}

}  // namespace

Registrar::Registrar(const char* name, CaseFn fn) { Cases().emplace_back(name, fn); }

void Out::Bits(const char* name, double x) { std::printf("%s.%s %016" PRIx64 "\n", case_, name, BitsOf(x)); }
void Out::Bits(const char* name, Complex z) {
    std::printf("%s.%s %016" PRIx64 " %016" PRIx64 "\n", case_, name, BitsOf(z.Real), BitsOf(z.Imag));
}
void Out::Int(const char* name, std::int64_t v) { std::printf("%s.%s %" PRId64 "\n", case_, name, v); }
void Out::Status(const char* name, corvane::Status s) {
    std::printf("%s.%s status %08" PRIx32 "\n", case_, name, static_cast<std::uint32_t>(s.code()));
}
void Out::Matrix(const char* name, const BasicMatrix<double>& m) {
    std::printf("%s.%s %dx%d %016" PRIx64 "\n", case_, name, m.Rows(), m.Cols(), Hash(m));
}
void Out::Matrix(const char* name, const BasicMatrix<Complex>& m) {
    std::printf("%s.%s %dx%d %016" PRIx64 "\n", case_, name, m.Rows(), m.Cols(), Hash(m));
}

double Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state >> 11) * 0x1.0p-52 - 1.0;
}

BasicMatrix<double> RandomMatrix(std::int32_t rows, std::int32_t cols, double scale) {
    BasicMatrix<double> m;
    if (!m.Size(rows, cols).ok()) return m;
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) m.at(i, j) = Next() * scale;
    return m;
}

BasicMatrix<Complex> RandomCMatrix(std::int32_t rows, std::int32_t cols, double scale) {
    BasicMatrix<Complex> m;
    if (!m.Size(rows, cols).ok()) return m;
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) {
            const double re = Next() * scale;
            m.at(i, j) = Complex{re, Next() * scale};
        }
    return m;
}

}  // namespace corvane::digest

namespace corvane::digest {
bool ApplyOptions(int argc, char** argv, bool* stop);  // digest_product.cpp
}

int main(int argc, char** argv) {
    bool stop = false;
    if (!corvane::digest::ApplyOptions(argc, argv, &stop)) return 2;
    if (stop) return 0;
    auto& cases = corvane::digest::Cases();
    std::sort(cases.begin(), cases.end());
    for (const auto& [name, fn] : cases) {
        corvane::digest::state = 0x9E3779B97F4A7C15u;  // each case sees the same sequence
        corvane::digest::Out out(name.c_str());
        fn(out);
    }
    return 0;
}
