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

// Withdraws the calling thread's error record: a failure that publishes none
// of its own must not leave an earlier call's record to be read as its own.
void ClearErrorRecord();

// hr unchanged; a failure withdraws the thread's record first, unless it is
// a code of the interface facility (0x8004xxxx), which comes with the record
// of the object that returned it.
HRESULT Unreported(HRESULT hr);

// A core outcome as a result code: success as S_OK, a catalogue message through
// the shortcut (record + 0x80040000 + n), a platform code through Unreported.
HRESULT ToResult(REFCLSID reporter, Status status);

}  // namespace corvane::server
