#include "core/comparisons.h"

#include "core/element_policy.h"

namespace corvane {

template <class T>
Status IsEqualTo(const BasicMatrix<T>& a, const std::type_identity_t<MatrixReader<T>>* b, double maxDifference,
                 bool* result) {
    if (!a.sized()) return kNotSized;
    if (b == nullptr || result == nullptr) return Status::NullPointer();
    if (b->Rows() != a.Rows() || b->Cols() != a.Cols()) {
        *result = false;
        return Status::Ok();
    }
    bool equal = true;
    for (std::int32_t i = 0; i < a.Rows() && equal; ++i) {
        for (std::int32_t j = 0; j < a.Cols(); ++j) {
            T v{};
            (void)b->Item(i, j, &v);
            if (ElementPolicy<T>::Differs(a.at(i, j), v, maxDifference)) {
                equal = false;
                break;
            }
        }
    }
    *result = equal;
    return Status::Ok();
}

template <class T>
Status IsSymmetric(const BasicMatrix<T>& a, double maxDifference, bool* result) {
    if (!a.sized()) return kNotSized;
    if (result == nullptr) return Status::NullPointer();
    bool symmetric = a.Rows() == a.Cols();
    const std::int32_t n = a.Rows();
    for (std::int32_t i = 0; i < n && symmetric; ++i) {
        for (std::int32_t j = i + 1; j < n; ++j) {
            if (ElementPolicy<T>::Differs(a.at(i, j), a.at(j, i), maxDifference)) {
                symmetric = false;
                break;
            }
        }
    }
    *result = symmetric;
    return Status::Ok();
}

template Status IsEqualTo<double>(const Matrix&, const MatrixIn*, double, bool*);
template Status IsEqualTo<Complex>(const CMatrix&, const CMatrixIn*, double, bool*);
template Status IsSymmetric<double>(const Matrix&, double, bool*);
template Status IsSymmetric<Complex>(const CMatrix&, double, bool*);

}  // namespace corvane
