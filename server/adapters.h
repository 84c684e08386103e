// Any IMatrix or ICMatrix implementation seen through the core's reader and
// writer interfaces: shape and elements through the object's own Rows, Cols,
// Item get, and Size, Item put, Clear.
#pragma once

#include "CorvaneMatrix30.h"
#include "core/complex.h"
#include "core/matrix_interfaces.h"

namespace corvane::server {

// A failed call of the foreign object becomes that result code.
inline Status FromResult(HRESULT hr) { return SUCCEEDED(hr) ? Status::Ok() : Status::Platform(hr); }

class MatrixAdapter final : public MatrixReader<double>, public MatrixWriter<double> {
public:
    explicit MatrixAdapter(IMatrix* object) : object_(object) {}
    bool bound() const { return object_ != nullptr; }
    std::int32_t Rows() const override;
    std::int32_t Cols() const override;
    Status Item(std::int32_t row, std::int32_t col, double* value) const override;
    Status Size(std::int32_t rows, std::int32_t cols) override;
    Status PutItem(std::int32_t row, std::int32_t col, const double& value) override;
    Status Clear() override;

private:
    IMatrix* object_;  // borrowed for the call
};

class CMatrixAdapter final : public MatrixReader<corvane::Complex>, public MatrixWriter<corvane::Complex> {
public:
    explicit CMatrixAdapter(ICMatrix* object) : object_(object) {}
    bool bound() const { return object_ != nullptr; }
    std::int32_t Rows() const override;
    std::int32_t Cols() const override;
    Status Item(std::int32_t row, std::int32_t col, corvane::Complex* value) const override;
    Status Size(std::int32_t rows, std::int32_t cols) override;
    Status PutItem(std::int32_t row, std::int32_t col, const corvane::Complex& value) override;
    Status Clear() override;

private:
    ICMatrix* object_;
};

// An object argument passed by reference (IMatrix** or ICMatrix**) as the core
// sees it: null when the reference or the object is missing.
template <class Adapter, class Interface>
class ObjectArgument {
public:
    explicit ObjectArgument(Interface** arg) : adapter_(arg != nullptr ? *arg : nullptr) {}
    Adapter* get() { return adapter_.bound() ? &adapter_ : nullptr; }

private:
    Adapter adapter_;
};
using MatrixArgument = ObjectArgument<MatrixAdapter, IMatrix>;
using CMatrixArgument = ObjectArgument<CMatrixAdapter, ICMatrix>;

}  // namespace corvane::server
