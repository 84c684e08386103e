// Array conversion, storage, sorting, powers of ten, random fill and text
// output of the matrix objects.
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>
#include <thread>

#include "core/array_conversion.h"
#include "core/cmatrix.h"
#include "core/decimal_rounding.h"
#include "core/random_fill.h"
#include "core/sorting.h"
#include "core/text_output.h"
#include "digest.h"

namespace corvane {

namespace {

// A rows × cols array in memory, lower bounds 1 and −2.
struct MemoryArray final : ArraySource, ArraySink {
    std::int32_t rows = 0, cols = 0;
    BasicMatrix<double> data;
    std::int32_t Dimensions() const override { return 2; }
    Status Bounds(std::int32_t dim, std::int32_t* lower, std::int32_t* upper) const override {
        *lower = dim == 1 ? 1 : -2;
        *upper = *lower + (dim == 1 ? rows : cols) - 1;
        return Status::Ok();
    }
    bool HoldsDoubles() const override { return true; }
    Status Read(std::int32_t first, std::int32_t second, double* value) const override { return data.Item(first - 1, second + 2, value); }
    Status Create(std::int32_t r, std::int32_t c) override {
        rows = r;
        cols = c;
        return data.Size(r, c);
    }
    Status Write(std::int32_t r, std::int32_t c, double value) override { return data.PutItem(r, c, value); }
};

}  // namespace

CORVANE_DIGEST_CASE(array_conversion) {
    const BasicMatrix<double> a = digest::Random<double>(4, 7, 1e5);
    MemoryArray array;
    out.Status("get", AsArray(a, &array));
    BasicMatrix<double> b;
    out.Status("put", PutAsArray(b, &array));
    out.Matrix("round_trip", b);
    BasicMatrix<Complex> c = digest::Random<Complex>(6, 3);
    out.Status("put_real", PutAsArrayR(c, &array));
    out.Matrix("complex_real_put", c);
    MemoryArray imag;
    out.Status("get_imag", AsArrayI(digest::Random<Complex>(2, 9), &imag));
    out.Status("put_imag", PutAsArrayI(c, &imag));
    out.Matrix("complex_imag_put", c);
}

CORVANE_DIGEST_CASE(matrix_storage) {
    BasicMatrix<double> a = digest::Random<double>(7, 5, 1e3);
    (void)a.Size(9, 3);
    out.Matrix("resized", a);
    (void)a.SwapRows(0, 8);
    (void)a.SwapCols(0, 2);
    out.Matrix("swapped", a);
    BasicMatrix<double> v;
    (void)a.ColVector(1, &v);
    out.Matrix("colvector", v);
    (void)a.RowVector(4, &v);
    out.Matrix("rowvector", v);
    out.Status("bad_index", a.Item(9, 0, nullptr));
    BasicMatrix<Complex> c = digest::Random<Complex>(3, 4);
    (void)c.Size(4, 2);
    out.Matrix("complex_resized", c);
    (void)ToCMatrix(a, &c);
    out.Matrix("to_cmatrix", c);
}

CORVANE_DIGEST_CASE(sorting) {
    BasicMatrix<double> a = digest::Random<double>(40, 6, 10.0);
    for (std::int32_t i = 0; i < 40; i += 7) a.at(i, 2) = std::numeric_limits<double>::quiet_NaN();
    for (std::int32_t i = 1; i < 40; i += 5) a.at(i, 3) = a.at(0, 3);  // ties
    Buffer<std::int32_t> perm;
    out.Status("rows", SortRows(a, 2, 0, &perm));
    out.Matrix("rows", a);
    out.Index("rows_index", perm);
    out.Status("rows_desc", SortRows(a, 3, 1, &perm));
    out.Matrix("rows_desc", a);
    out.Index("rows_desc_index", perm);
    out.Status("cols", SortCols(a, 5, 1, &perm));
    out.Matrix("cols", a);
    out.Index("cols_index", perm);
    out.Status("reorder_rows_wrong_count", ReorderRows(a, perm));
    out.Status("reorder_cols", ReorderCols(a, perm));
    out.Matrix("reorder_cols", a);

    BasicMatrix<Complex> c = digest::Random<Complex>(30, 4, 3.0);
    out.Status("complex_rows", SortRows(c, 1, 0, &perm));
    out.Matrix("complex_rows", c);
    out.Index("complex_rows_index", perm);
    out.Status("complex_cols", SortCols(c, 29, 7, &perm));
    out.Matrix("complex_cols", c);
    out.Index("complex_cols_index", perm);
}

namespace {

std::uint64_t Fnv(const void* data, std::size_t n, std::uint64_t h = 1469598103934665603u) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t k = 0; k < n; ++k) h = (h ^ bytes[k]) * 1099511628211u;
    return h;
}

template <class M> void PrintText(digest::Out& out, const char* name, const M& m, std::int16_t places, std::string_view eol = {}) {
    Buffer<char> text;
    out.Status(name, GetString(m, places, eol, &text));
    out.Int(name, text.size());
    out.Int(name, static_cast<std::int64_t>(Fnv(text.data(), static_cast<std::size_t>(text.size())) >> 1));
}

}  // namespace

CORVANE_DIGEST_CASE(power_of_ten) {
    std::uint64_t h = 1469598103934665603u;
    for (std::int32_t n = -420; n <= 420; ++n) {
        const double p = PowerOfTen(n);
        h = Fnv(&p, sizeof p, h);
    }
    out.Int("all", static_cast<std::int64_t>(h >> 1));
    out.Bits("e-5", PowerOfTen(-5));
    out.Bits("e23", PowerOfTen(23));
    out.Bits("e-323", PowerOfTen(-323));
}

CORVANE_DIGEST_CASE(random_fill) {
    // On a thread of its own, so the sequence starts at 1 whatever ran before.
    std::thread([&out] {
        BasicMatrix<double> m;
        (void)m.Size(6, 5);
        (void)FillRandom(m);
        out.Matrix("defaults", m);
        (void)FillRandom(m, -1.0, 1.0, 3);
        out.Matrix("places3", m);
        (void)FillRandom(m, 1e6, -1e6, 7);
        out.Matrix("downward", m);
        (void)FillRandom(m, 0.0, 12345.0, -2);
        out.Matrix("hundreds", m);
        BasicMatrix<Complex> c;
        (void)c.Size(4, 3);
        (void)FillRandom(c, -5.0, 5.0, 15);
        out.Matrix("complex", c);
        BasicMatrix<double> unsized;  // takes its draw too
        (void)unsized.PutRows(2);
        out.Status("unsized", FillRandom(unsized));
        out.Int("next", RandomDraw());
    }).join();
}

CORVANE_DIGEST_CASE(text_output) {
    const BasicMatrix<double> a = digest::Random<double>(5, 4, 1e3);
    const std::int16_t realPlaces[] = {0, 3, 17, 40, -1, -3};
    for (std::int16_t places : realPlaces) PrintText(out, "real", a, places);
    PrintText(out, "real_eol", a, 2, ";");
    const BasicMatrix<Complex> c = digest::Random<Complex>(3, 3, 50.0);
    const std::int16_t complexPlaces[] = {0, 3, 25, -2};
    for (std::int16_t places : complexPlaces) PrintText(out, "complex", c, places);
    BasicMatrix<double> extreme;
    (void)extreme.Size(2, 3);
    const double values[] = {1e308, -1e308, 1e-308, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), -0.0};
    for (int k = 0; k < 6; ++k) extreme.at(k / 3, k % 3) = values[k];
    const std::int16_t extremePlaces[] = {0, 6, 300, 308, 309, 32767, -300, -324, -32768};
    for (std::int16_t places : extremePlaces) PrintText(out, "extreme", extreme, places);
    PrintText(out, "empty", BasicMatrix<double>(), 3, "\n");
}

}  // namespace corvane
