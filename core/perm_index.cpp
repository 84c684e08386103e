#include "core/perm_index.h"

namespace corvane {

Status ReadPermIndex(const PermIndexArgument* argument, std::int32_t count, Buffer<std::int32_t>* entries) {
    if (entries == nullptr) return Status::NullPointer();
    if (argument == nullptr) return kArrayWrongSize;
    const std::uint16_t type = argument->VarType();
    constexpr std::uint16_t kDirect = kVarTypeArray | kVarTypeI4;
    if (type != kDirect && type != (kDirect | kVarTypeByRef)) return kNotAnArray;
    if (argument->ArrayIsNull()) return kArrayWrongSize;
    if (argument->Dimensions() != 1) return kArrayWrongSize;
    std::int32_t lower = 0, upper = 0;
    if (Status s = argument->Bounds(&lower, &upper); !s) return s;
    if (lower != 0 || static_cast<std::int64_t>(upper) - lower + 1 != count) return kArrayWrongSize;
    Buffer<std::int32_t> read;
    if (!read.Allocate(count)) return Status::OutOfMemory();
    if (Status s = argument->ReadEntries(read.data(), count); !s) return s;
    entries->swap(read);
    return Status::Ok();
}

}  // namespace corvane
