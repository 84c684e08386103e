#include "server/text.h"

namespace corvane::server {

Status NarrowText(BSTR s, Buffer<char>* out) {
    const int length = s != nullptr ? static_cast<int>(SysStringLen(s)) : 0;
    const int bytes = length > 0 ? WideCharToMultiByte(CP_THREAD_ACP, 0, s, length, nullptr, 0, nullptr, nullptr) : 0;
    if (!out->Allocate(bytes)) return Status::OutOfMemory();
    if (bytes > 0) WideCharToMultiByte(CP_THREAD_ACP, 0, s, length, out->data(), bytes, nullptr, nullptr);
    return Status::Ok();
}

HRESULT WideString(const char* text, std::int64_t n, BSTR* out) {
    if (n > 0x3fffffff) return E_OUTOFMEMORY;
    const int length = n > 0 ? MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(n), nullptr, 0) : 0;
    BSTR s = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (s == nullptr) return E_OUTOFMEMORY;
    if (length > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(n), s, length);
    *out = s;
    return S_OK;
}

}  // namespace corvane::server
