// Array conversion, storage operations and conversion to complex.
#include <cstdint>

#include "core/array_conversion.h"
#include "core/cmatrix.h"
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
    Status Read(std::int32_t first, std::int32_t second, double* value) const override {
        return data.Item(first - 1, second + 2, value);
    }
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

}  // namespace corvane
