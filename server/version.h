// The Version property of both matrix classes.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace corvane::server {

// A new string "3.0.000" owned by the caller; E_OUTOFMEMORY when it cannot be
// allocated, E_POINTER for a missing out-pointer.
inline HRESULT VersionString(BSTR* out) {
    if (out == nullptr) return E_POINTER;
    BSTR text = SysAllocString(L"3.0.000");
    if (text == nullptr) return E_OUTOFMEMORY;
    *out = text;
    return S_OK;
}

}  // namespace corvane::server
