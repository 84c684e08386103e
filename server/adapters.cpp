#include "server/adapters.h"

namespace corvane::server {

std::int32_t MatrixAdapter::Rows() const {
    LONG n = 0;
    return SUCCEEDED(object_->get_Rows(&n)) ? n : 0;
}
std::int32_t MatrixAdapter::Cols() const {
    LONG n = 0;
    return SUCCEEDED(object_->get_Cols(&n)) ? n : 0;
}
Status MatrixAdapter::Item(std::int32_t row, std::int32_t col, double* value) const {
    return FromResult(object_->get_Item(row, col, value));
}
Status MatrixAdapter::Size(std::int32_t rows, std::int32_t cols) { return FromResult(object_->Size(rows, cols)); }
Status MatrixAdapter::PutItem(std::int32_t row, std::int32_t col, const double& value) {
    return FromResult(object_->put_Item(row, col, value));
}
Status MatrixAdapter::Clear() { return FromResult(object_->Clear()); }

std::int32_t CMatrixAdapter::Rows() const {
    LONG n = 0;
    return SUCCEEDED(object_->get_Rows(&n)) ? n : 0;
}
std::int32_t CMatrixAdapter::Cols() const {
    LONG n = 0;
    return SUCCEEDED(object_->get_Cols(&n)) ? n : 0;
}
Status CMatrixAdapter::Item(std::int32_t row, std::int32_t col, corvane::Complex* value) const {
    ::Complex c{};
    const HRESULT hr = object_->get_Item(row, col, &c);
    if (SUCCEEDED(hr)) *value = corvane::Complex{c.Real, c.Imag};
    return FromResult(hr);
}
Status CMatrixAdapter::Size(std::int32_t rows, std::int32_t cols) { return FromResult(object_->Size(rows, cols)); }
Status CMatrixAdapter::PutItem(std::int32_t row, std::int32_t col, const corvane::Complex& value) {
    ::Complex c{value.Real, value.Imag};
    return FromResult(object_->put_Item(row, col, &c));
}
Status CMatrixAdapter::Clear() { return FromResult(object_->Clear()); }

}  // namespace corvane::server
