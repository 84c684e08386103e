// A one-dimensional, zero-filled block of n elements (vectors of the kernels,
// permutation indexes). Allocation failure is a false return, never a throw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "core/allocation.h"

namespace corvane {

template <class T>
class Buffer {
public:
    Buffer() = default;
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    Buffer(Buffer&& other) noexcept { swap(other); }
    Buffer& operator=(Buffer&& other) noexcept {
        Buffer(std::move(other)).swap(*this);
        return *this;
    }
    ~Buffer() { Release(data_); }

    // n zero-filled elements (n may be 0); false and empty on failure.
    [[nodiscard]] bool Allocate(std::int64_t n) noexcept {
        Release(data_);
        data_ = nullptr;
        size_ = 0;
        // A count beyond the address space is refused before it is narrowed
        // to a 32-bit size_t, which would keep only its low bits.
        if (n < 0 || static_cast<std::uint64_t>(n) > PTRDIFF_MAX / sizeof(T)) return false;
        if (!StorageFits(HeapBytes(1, static_cast<std::uint64_t>(n) * sizeof(T)))) return false;
        data_ = static_cast<T*>(AllocateZeroed(static_cast<std::size_t>(n), sizeof(T)));
        if (data_ == nullptr) return false;
        size_ = n;
        return true;
    }

    void swap(Buffer& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
    }

    T* data() const noexcept { return data_; }
    T& operator[](std::int64_t i) const noexcept { return data_[i]; }
    std::int64_t size() const noexcept { return size_; }
    T* begin() const noexcept { return data_; }
    T* end() const noexcept { return data_ + size_; }

private:
    T* data_ = nullptr;
    std::int64_t size_ = 0;
};

}  // namespace corvane
