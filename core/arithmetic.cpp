#include "core/arithmetic.h"

#include "core/product_choice.h"
#include "core/row_store.h"

namespace corvane {
namespace {

// Reads b(i, j) through the interface; a failed read counts as zero.
template <class T>
T ReadItem(const MatrixReader<T>* b, std::int32_t i, std::int32_t j) {
    T v{};
    (void)b->Item(i, j, &v);
    return v;
}

template <class T>
bool SameShape(const BasicMatrix<T>& a, const MatrixReader<T>* b) {
    return b->Rows() == a.Rows() && b->Cols() == a.Cols();
}

// result(i, j) = combine(a(i, j), b(i, j)), row by row.
template <class T, class Combine>
Status ElementwiseNew(const BasicMatrix<T>& a, const MatrixReader<T>* b, BasicMatrix<T>* result, Combine combine) {
    if (!a.sized()) return kNotSized;
    if (b == nullptr || result == nullptr) return Status::NullPointer();
    if (!SameShape(a, b)) return kNotSameSize;
    BasicMatrix<T> r;
    if (Status s = r.Size(a.Rows(), a.Cols()); !s) return s;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j) r.at(i, j) = combine(a.at(i, j), ReadItem(b, i, j));
    *result = std::move(r);
    return Status::Ok();
}

// a(i, j) = combine(a(i, j), b(i, j)), row by row, reading each b(i, j) just
// before a(i, j) is written.
template <class T, class Combine>
Status ElementwiseInPlace(BasicMatrix<T>& a, const MatrixReader<T>* b, Combine combine) {
    if (!a.sized()) return kNotSized;
    if (b == nullptr) return Status::NullPointer();
    if (!SameShape(a, b)) return kNotSameSize;
    for (std::int32_t i = 0; i < a.Rows(); ++i) {
        for (std::int32_t j = 0; j < a.Cols(); ++j) {
            const T bij = ReadItem(b, i, j);
            a.at(i, j) = combine(a.at(i, j), bij);
        }
    }
    return Status::Ok();
}

template <class T>
T Sum(const T& aij, const T& bij) {
    return bij + aij;
}
template <class T>
T Difference(const T& aij, const T& bij) {
    return aij - bij;
}

}  // namespace

template <class T>
Status Plus(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b,
            std::type_identity_t<BasicMatrix<T>>* result) {
    return ElementwiseNew(a, b, result, Sum<T>);
}

template <class T>
Status Minus(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b,
             std::type_identity_t<BasicMatrix<T>>* result) {
    return ElementwiseNew(a, b, result, Difference<T>);
}

template <class T>
Status PlusEquals(BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b) {
    return ElementwiseInPlace(a, b, Sum<T>);
}

template <class T>
Status MinusEquals(BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b) {
    return ElementwiseInPlace(a, b, Difference<T>);
}

template <class T>
Status Times(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b,
             std::type_identity_t<BasicMatrix<T>>* result) {
    if (!a.sized()) return kNotSized;
    if (b == nullptr || result == nullptr) return Status::NullPointer();
    const std::int32_t p = b->Rows();
    const std::int32_t q = b->Cols();
    if (p != a.Cols()) return kCannotMultiply;
    // A reader without columns would make a result without columns, which
    // cannot be sized.
    if (q < 1) return kInvalidCols;
    // A core matrix is read in place (the product is built apart from it);
    // any other reader is copied first, row by row.
    RowStore<T> copy;
    const T* const* bRows = nullptr;
    if (const auto* core = dynamic_cast<const BasicMatrix<T>*>(b)) {
        bRows = core->rows();
    } else {
        if (!copy.Allocate(p, q)) return Status::OutOfMemory();
        for (std::int32_t k = 0; k < p; ++k)
            for (std::int32_t j = 0; j < q; ++j) copy[k][j] = ReadItem(b, k, j);
        bRows = copy.data();
    }
    BasicMatrix<T> product;
    if (Status s = product.Size(a.Rows(), q); !s) return s;
    if (!MatrixProduct(a.rows(), bRows, product.rows(), a.Rows(), p, q)) return Status::OutOfMemory();
    *result = std::move(product);
    return Status::Ok();
}

template <class T>
Status TimesScalar(const BasicMatrix<T>& a, const std::type_identity_t<T>& scalar,
                   std::type_identity_t<BasicMatrix<T>>* result) {
    if (!a.sized()) return kNotSized;
    if (result == nullptr) return Status::NullPointer();
    BasicMatrix<T> r;
    if (Status s = r.Size(a.Rows(), a.Cols()); !s) return s;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j) r.at(i, j) = a.at(i, j) * scalar;
    *result = std::move(r);
    return Status::Ok();
}

template <class T>
Status Transpose(const BasicMatrix<T>& a, std::type_identity_t<BasicMatrix<T>>* result) {
    if (!a.sized()) return kNotSized;
    if (result == nullptr) return Status::NullPointer();
    BasicMatrix<T> r;
    if (Status s = r.Size(a.Cols(), a.Rows()); !s) return s;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j) r.at(j, i) = a.at(i, j);
    *result = std::move(r);
    return Status::Ok();
}

template Status Plus<double>(const Matrix&, const MatrixIn*, Matrix*);
template Status Plus<Complex>(const CMatrix&, const CMatrixIn*, CMatrix*);
template Status Minus<double>(const Matrix&, const MatrixIn*, Matrix*);
template Status Minus<Complex>(const CMatrix&, const CMatrixIn*, CMatrix*);
template Status PlusEquals<double>(Matrix&, const MatrixIn*);
template Status PlusEquals<Complex>(CMatrix&, const CMatrixIn*);
template Status MinusEquals<double>(Matrix&, const MatrixIn*);
template Status MinusEquals<Complex>(CMatrix&, const CMatrixIn*);
template Status TimesScalar<double>(const Matrix&, const double&, Matrix*);
template Status TimesScalar<Complex>(const CMatrix&, const Complex&, CMatrix*);
template Status Transpose<double>(const Matrix&, Matrix*);
template Status Transpose<Complex>(const CMatrix&, CMatrix*);
template Status Times<double>(const Matrix&, const MatrixIn*, Matrix*);
template Status Times<Complex>(const CMatrix&, const CMatrixIn*, CMatrix*);

}  // namespace corvane
