#include "core/array_conversion.h"

#include <cstring>
#include <utility>

namespace corvane {
namespace {

// Where an array element goes in (comes from) a matrix element.
struct WholeElement {
    static constexpr bool kWritesAll = true;
    static double Get(double e) { return e; }
    static void Set(double& e, double v) { e = v; }
};
struct RealPart {
    static constexpr bool kWritesAll = false;
    static double Get(const Complex& e) { return e.Real; }
    static void Set(Complex& e, double v) { e.Real = v; }
};
struct ImagPart {
    static constexpr bool kWritesAll = false;
    static double Get(const Complex& e) { return e.Imag; }
    static void Set(Complex& e, double v) { e.Imag = v; }
};

// The get of AsArray, AsArrayR and AsArrayI.
template <class Part, class T>
Status GetArray(const BasicMatrix<T>& m, ArraySink* out) {
    if (out == nullptr) return Status::NullPointer();
    if (!m.sized()) return kNotSized;
    if (Status s = out->Create(m.Rows(), m.Cols()); !s) return s;
    for (std::int32_t i = 0; i < m.Rows(); ++i)
        for (std::int32_t j = 0; j < m.Cols(); ++j)
            if (Status s = out->Write(i, j, Part::Get(m.at(i, j))); !s) return s;
    return Status::Ok();
}

// An extent as a count the matrix accepts, or 0 when it is none.
std::int32_t Extent(std::int32_t lower, std::int32_t upper) {
    const std::int64_t n = static_cast<std::int64_t>(upper) - lower + 1;
    return n >= 1 && n <= kMaxSize ? static_cast<std::int32_t>(n) : 0;
}

// The put of AsArray, AsArrayR and AsArrayI. The new contents are built in
// a matrix of their own, which replaces this one only at the end; until
// then a failure (of a read, say) leaves this one as it was.
template <class Part, class T>
Status PutArray(BasicMatrix<T>& m, const ArraySource* in) {
    const std::int32_t dims = in == nullptr ? 0 : in->Dimensions();
    if (dims != 1 && dims != 2) return kNotAnArray;
    std::int32_t lower1 = 0, upper1 = 0, lower2 = 0, upper2 = 0;
    if (Status s = in->Bounds(1, &lower1, &upper1); !s) return s;
    if (dims == 2) {
        if (Status s = in->Bounds(2, &lower2, &upper2); !s) return s;
    }
    if (!in->HoldsDoubles()) return kNotAnArray;

    const std::int32_t rows = Extent(lower1, upper1);
    const std::int32_t cols = dims == 2 ? Extent(lower2, upper2) : 1;
    BasicMatrix<T> fresh;
    if (Status s = fresh.Size(rows, cols); !s) return s;  // kInvalidRows, kInvalidCols, or out of memory
    if (!Part::kWritesAll && m.sized()) {                 // the block the resize keeps of the other part
        const std::int32_t keepRows = rows < m.Rows() ? rows : m.Rows();
        const std::int32_t keepCols = cols < m.Cols() ? cols : m.Cols();
        for (std::int32_t i = 0; i < keepRows; ++i)
            std::memcpy(&fresh.at(i, 0), &m.at(i, 0), static_cast<std::size_t>(keepCols) * sizeof(T));
    }
    for (std::int32_t i = 0; i < rows; ++i) {
        for (std::int32_t j = 0; j < cols; ++j) {
            double v = 0.0;
            const Status s = dims == 2 ? in->Read(lower1 + i, lower2 + j, &v) : in->Read(lower1 + i, 0, &v);
            if (!s) return s;
            Part::Set(fresh.at(i, j), v);
        }
    }
    m = std::move(fresh);
    return Status::Ok();
}

}  // namespace

// AsArray get of the real matrix object.
Status AsArray(const BasicMatrix<double>& m, ArraySink* out) { return GetArray<WholeElement>(m, out); }
// AsArrayR get of the complex matrix object.
Status AsArrayR(const BasicMatrix<Complex>& m, ArraySink* out) { return GetArray<RealPart>(m, out); }
// AsArrayI get of the complex matrix object.
Status AsArrayI(const BasicMatrix<Complex>& m, ArraySink* out) { return GetArray<ImagPart>(m, out); }

// AsArray put of the real matrix object.
Status PutAsArray(BasicMatrix<double>& m, const ArraySource* in) { return PutArray<WholeElement>(m, in); }
// AsArrayR put of the complex matrix object.
Status PutAsArrayR(BasicMatrix<Complex>& m, const ArraySource* in) { return PutArray<RealPart>(m, in); }
// AsArrayI put of the complex matrix object.
Status PutAsArrayI(BasicMatrix<Complex>& m, const ArraySource* in) { return PutArray<ImagPart>(m, in); }

}  // namespace corvane
