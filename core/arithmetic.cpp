#include "core/arithmetic.h"

#include "core/product_kernels.h"
#include "core/row_store.h"

namespace corvane {

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
    RowStore<T> copy;
    if (!copy.Allocate(p, q)) return Status::OutOfMemory();
    for (std::int32_t k = 0; k < p; ++k) {
        for (std::int32_t j = 0; j < q; ++j) {
            T v{};
            (void)b->Item(k, j, &v);
            copy[k][j] = v;
        }
    }
    BasicMatrix<T> product;
    if (Status s = product.Size(a.Rows(), q); !s) return s;
    MatrixProductBlocked(a.rows(), copy.data(), product.rows(), a.Rows(), p, q);
    *result = std::move(product);
    return Status::Ok();
}

template Status Times<double>(const Matrix&, const MatrixIn*, Matrix*);
template Status Times<Complex>(const CMatrix&, const CMatrixIn*, CMatrix*);

}  // namespace corvane
