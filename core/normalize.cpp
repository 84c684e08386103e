#include "core/normalize.h"

#include <utility>

#include "core/element_policy.h"

namespace corvane {
namespace {

// The scale N, visiting the elements row by row.
template <class T>
double ScaleOf(const BasicMatrix<T>& a) {
    typename ElementPolicy<T>::Scale scale;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j) scale.Visit(a.at(i, j));
    return scale.Value();
}

}  // namespace

template <class T>
Status Normalize(const BasicMatrix<T>& a, double* normValue, std::type_identity_t<BasicMatrix<T>>* result) {
    if (!a.sized()) return kNotSized;
    if (normValue == nullptr || result == nullptr) return Status::NullPointer();
    const double n = ScaleOf(a);
    BasicMatrix<T> r;
    if (Status s = r.Size(a.Rows(), a.Cols()); !s) return s;
    if (n != 0.0) {
        const double f = 1.0 / n;
        for (std::int32_t i = 0; i < a.Rows(); ++i)
            for (std::int32_t j = 0; j < a.Cols(); ++j) r.at(i, j) = f * a.at(i, j);
    }
    *result = std::move(r);
    *normValue = n;
    return Status::Ok();
}

template <class T>
Status NormalizeMe(BasicMatrix<T>& a, double* normValue) {
    if (!a.sized()) return kNotSized;
    if (normValue == nullptr) return Status::NullPointer();
    const double n = ScaleOf(a);
    if (n != 0.0) {
        const double f = 1.0 / n;
        for (std::int32_t i = 0; i < a.Rows(); ++i)
            for (std::int32_t j = 0; j < a.Cols(); ++j) a.at(i, j) = f * a.at(i, j);
    }
    *normValue = n;
    return Status::Ok();
}

template Status Normalize<double>(const Matrix&, double*, Matrix*);
template Status Normalize<Complex>(const CMatrix&, double*, CMatrix*);
template Status NormalizeMe<double>(Matrix&, double*);
template Status NormalizeMe<Complex>(CMatrix&, double*);

}  // namespace corvane
