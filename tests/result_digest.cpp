// Prints the exact bits of a fixed battery of results, one line per value.
// Every build must print tests/golden_digest.txt exactly (compare_digest.cmake),
// so a change of any result, or of floating-point code generation between
// targets, shows up here.
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "digest.h"

namespace corvane::digest {
namespace {

std::vector<std::pair<std::string, CaseFn>>& Cases() {
    static std::vector<std::pair<std::string, CaseFn>> cases;
    return cases;
}

std::uint64_t BitsOf(double x) {
    if (std::isnan(x)) return 0x7ff8000000000000u;
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

// FNV-1a over 64-bit words.
std::uint64_t Fnv(std::uint64_t h, std::uint64_t word) {
    for (int k = 0; k < 8; ++k) h = (h ^ ((word >> (8 * k)) & 0xffu)) * 1099511628211u;
    return h;
}
constexpr std::uint64_t kFnvStart = 1469598103934665603u;

std::uint64_t state;
void Reset() { state = 0x9E3779B97F4A7C15u; }

std::string Hex(std::uint64_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

}  // namespace

Registrar::Registrar(const char* name, CaseFn fn) { Cases().emplace_back(name, fn); }

void Out::Line(const std::string& name, const std::string& text) { std::printf("%s.%s %s\n", case_.c_str(), name.c_str(), text.c_str()); }
void Out::Bits(const std::string& name, double x) { Line(name, Hex(BitsOf(x))); }
void Out::Bits(const std::string& name, Complex z) { Line(name, Hex(BitsOf(z.Real)) + " " + Hex(BitsOf(z.Imag))); }
void Out::Int(const std::string& name, std::int64_t v) { Line(name, std::to_string(v)); }
void Out::Status(const std::string& name, corvane::Status s) { Line(name, "status " + Hex(static_cast<std::uint32_t>(s.code())).substr(8)); }
void Out::Index(const std::string& name, const Buffer<std::int32_t>& p) {
    std::uint64_t h = kFnvStart;
    for (std::int32_t v : p) h = Fnv(h, static_cast<std::uint32_t>(v));
    Line(name, std::to_string(p.size()) + " " + Hex(h));
}
template <class T> void Out::Matrix(const std::string& name, const BasicMatrix<T>& m) {
    std::uint64_t h = kFnvStart;
    for (std::int32_t i = 0; i < (m.sized() ? m.Rows() : 0); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j) {
            if constexpr (std::is_same_v<T, double>) h = Fnv(h, BitsOf(m.at(i, j)));
            else h = Fnv(Fnv(h, BitsOf(m.at(i, j).Real)), BitsOf(m.at(i, j).Imag));
        }
    Line(name, std::to_string(m.Rows()) + "x" + std::to_string(m.Cols()) + " " + Hex(h));
}
template void Out::Matrix(const std::string&, const BasicMatrix<double>&);
template void Out::Matrix(const std::string&, const BasicMatrix<Complex>&);

double Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state >> 11) * 0x1.0p-52 - 1.0;
}
template <> double NextElement<double>() { return Next(); }
template <> Complex NextElement<Complex>() {
    const double re = Next();
    return Complex{re, Next()};
}

template <class T> BasicMatrix<T> Random(std::int32_t rows, std::int32_t cols, double scale) {
    BasicMatrix<T> m;
    if (!m.Size(rows, cols).ok()) return m;
    for (std::int32_t i = 0; i < rows; ++i)
        for (std::int32_t j = 0; j < cols; ++j) m.at(i, j) = NextElement<T>() * scale;
    return m;
}
template BasicMatrix<double> Random(std::int32_t, std::int32_t, double);
template BasicMatrix<Complex> Random(std::int32_t, std::int32_t, double);

template <class T> const std::vector<std::pair<std::string, BasicMatrix<T>>>& Battery() {
    static std::vector<std::pair<std::string, BasicMatrix<T>>> battery;
    if (!battery.empty()) return battery;
    const std::uint64_t saved = state;
    Reset();
    auto value = [](double re, double im = 0.0) {
        if constexpr (std::is_same_v<T, double>) return (void)im, re;
        else return Complex{re, im};
    };
    // A random rows × cols matrix (scaled), then element (i, j) ← f(i, j, a) row by row.
    auto add = [&](const char* name, std::int32_t rows, std::int32_t cols, double scale, auto f) {
        BasicMatrix<T> a = Random<T>(rows, cols, scale);
        for (std::int32_t i = 0; i < rows; ++i)
            for (std::int32_t j = 0; j < cols; ++j) a.at(i, j) = f(i, j, a);
        battery.emplace_back(name, std::move(a));
    };
    auto same = [](std::int32_t i, std::int32_t j, const BasicMatrix<T>& a) { return a.at(i, j); };
    auto mirror = [](std::int32_t i, std::int32_t j, const BasicMatrix<T>& a) { return a.at(std::max(i, j), std::min(i, j)); };
    auto spd = [&](const char* name, std::int32_t n, double scale) {  // (B·Bᵀ + n·I)·scale, exactly symmetric
        const BasicMatrix<T> b = Random<T>(n, n);
        add(name, n, n, 0.0, [&](auto i, auto j, auto&) {
            T s = value(i == j ? n : 0.0);
            for (std::int32_t k = 0; k < n; ++k) s = s + b.at(std::max(i, j), k) * b.at(std::min(i, j), k);
            return s * scale;
        });
    };
    add("one", 1, 1, 1.0, same);
    add("zero", 1, 1, 0.0, same);
    add("n3", 3, 3, 1.0, same);
    add("n9", 9, 9, 1e2, same);
    add("n70", 70, 70, 1.0, same);
    add("tall", 7, 4, 1.0, same);
    add("wide", 4, 7, 1.0, same);
    add("sym", 12, 12, 1.0, mirror);
    add("sym40", 40, 40, 1.0, mirror);
    spd("spd", 8, 1.0);
    spd("huge", 5, 1e200);
    spd("tiny", 7, 1e-200);
    add("zero_row", 5, 5, 1.0, [&](auto i, auto j, auto& a) { return i == 2 ? T{} : a.at(i, j); });
    add("zero_col", 5, 5, 1.0, [&](auto i, auto j, auto& a) { return j == 1 ? T{} : a.at(i, j); });
    add("rank5", 6, 6, 1.0, [&](auto i, auto j, auto& a) { return i == 4 ? a.at(1, j) * 0.5 + a.at(3, j) * 2.0 : a.at(i, j); });
    const BasicMatrix<T> left = Random<T>(6, 2), right = Random<T>(2, 6);
    add("rank2", 6, 6, 0.0, [&](auto i, auto j, auto&) { return left.at(i, 0) * right.at(0, j) + left.at(i, 1) * right.at(1, j); });
    add("jordan", 6, 6, 0.0, [&](auto i, auto j, auto&) { return value(j == i ? 2.0 : j == i + 1 ? 1.0 : 0.0, j == i ? 1.0 : 0.0); });
    add("rotation", 2, 2, 0.0, [&](auto i, auto j, auto&) { return value(j - i); });
    // A companion matrix: complex pairs and one real root.
    add("companion", 9, 9, 0.0, [&](auto i, auto j, auto&) { return j == 8 ? NextElement<T>() : value(j == i - 1 ? 1.0 : 0.0); });
    // Pivot candidates of equal magnitude (the first must win), and a complex
    // column (1, i, 0) whose sum of squares vanishes with a nonzero lead.
    add("ties", 6, 6, 0.0, [&](auto, auto, auto&) {
        const double sign = Next() < 0 ? -1.0 : 1.0;
        return value(sign * (1 + std::floor(3 * std::fabs(Next()))) / 7);
    });
    add("isotropic", 3, 2, 1.0, [&](auto i, auto j, auto& a) { return j == 0 ? value(i == 0, i == 1) : a.at(i, j); });
    // A cyclic shift: eigenvalues of equal modulus, slow without exceptional shifts.
    add("cyclic", 8, 8, 0.0, [&](auto i, auto j, auto&) { return value(j == (i + 1) % 8); });
    add("graded", 8, 8, 1.0, [&](auto i, auto j, auto& a) { return a.at(i, j) * std::ldexp(1.0, 60 * (i % 4) - 90); });
    add("nan", 4, 4, 1.0, [&](auto i, auto j, auto& a) { return i == 1 && j == 2 ? value(std::nan("")) : a.at(i, j); });
    add("inf", 4, 4, 1.0, [&](auto i, auto j, auto& a) { return i == 3 && j == 0 ? value(HUGE_VAL) : a.at(i, j); });
    add("n230", 230, 230, 1.0, same);  // large: LU's and Cholesky's panels use packed products
    spd("spd150", 150, 1.0);
    // Row 90's delayed LU terms (packed products) cancel exactly in the real
    // part onto −0.0 elements: subtracting each product keeps −0.0 where adding
    // the product of the negated multiplier would give +0.0.
    add("cancel", 100, 100, 0.0, [&](auto i, auto j, auto&) {
        if (i == 0) return value(j == 0 ? 2.0 : 1.0, j == 0 ? 0.0 : 1.0);
        if (i == 90) return j == 0 ? value(2.0, 2.0) : value(-0.0, j == 90 ? 3.0 : 0.5);
        return value(i == j ? 1.0 : 0.0);
    });
    state = saved;
    return battery;
}
template const std::vector<std::pair<std::string, BasicMatrix<double>>>& Battery();
template const std::vector<std::pair<std::string, BasicMatrix<Complex>>>& Battery();

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
        corvane::digest::Reset();  // each case sees the same sequence
        corvane::digest::Out out(name);
        fn(out);
    }
    return 0;
}
