#include "core/cmatrix.h"

#include <utility>

namespace corvane {

Status ToCMatrix(const Matrix& a, CMatrix* result) {
    if (!a.sized()) return kNotSized;
    if (result == nullptr) return Status::NullPointer();
    CMatrix c;
    if (Status s = c.Size(a.Rows(), a.Cols()); !s) return s;
    for (std::int32_t i = 0; i < a.Rows(); ++i)
        for (std::int32_t j = 0; j < a.Cols(); ++j) c.at(i, j) = Complex{a.at(i, j), 0.0};
    *result = std::move(c);
    return Status::Ok();
}

}  // namespace corvane
