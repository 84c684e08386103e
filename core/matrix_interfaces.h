// The two small interfaces through which operations see matrices other than
// the one they are called on: any implementation (a core matrix, an automation
// adapter over a foreign object) can be read from or filled.
#pragma once

#include <cstdint>

#include "core/errors.h"

namespace corvane {

// Read side: the shape and one element at a time.
template <class T>
class MatrixReader {
public:
    virtual std::int32_t Rows() const = 0;
    virtual std::int32_t Cols() const = 0;
    // Writes *value only on success.
    virtual Status Item(std::int32_t row, std::int32_t col, T* value) const = 0;

protected:
    ~MatrixReader() = default;
};

// Write side: how a caller-supplied output is resized, filled and cleared.
template <class T>
class MatrixWriter {
public:
    virtual Status Size(std::int32_t rows, std::int32_t cols) = 0;
    virtual Status PutItem(std::int32_t row, std::int32_t col, const T& value) = 0;
    virtual Status Clear() = 0;

protected:
    ~MatrixWriter() = default;
};

}  // namespace corvane
