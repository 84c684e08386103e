// Automation strings to and from the core's 8-bit text, with the calling
// thread's ANSI code page.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "core/buffer.h"
#include "core/errors.h"

namespace corvane::server {

// The characters of s (null counts as empty) as 8-bit text.
Status NarrowText(BSTR s, Buffer<char>* out);
// A new automation string of the n 8-bit characters at text.
HRESULT WideString(const char* text, std::int64_t n, BSTR* out);

}  // namespace corvane::server
