// Error records: how a failure of a matrix method is published to the host.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "core/errors.h"

namespace corvane::server {

inline constexpr const wchar_t* kHelpFile = L"CorvaneMatrix.chm";

// The general reporting routine. description is a message number (upper 16
// bits zero: loaded from module's string table) or a text; code 0 means
// 0x80040000 + message number. Publishes the record for the calling thread and
// returns the code the method must return.
HRESULT ReportFailure(REFCLSID reporter, const wchar_t* description, DWORD helpContext, const wchar_t* helpFile,
                      REFGUID guid, HRESULT code, HINSTANCE module);

// The shortcut of each class: the message as description and help context,
// the class identifier as GUID.
HRESULT ReportMessage(REFCLSID reporter, std::int32_t message);

// A core outcome as a result code: success as S_OK, a catalogue message through
// the shortcut (record + 0x80040000 + n), a platform code returned bare.
HRESULT ToResult(REFCLSID reporter, Status status);

}  // namespace corvane::server
