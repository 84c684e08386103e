// Late-bound calls of members that take or return a Complex record, which the
// platform's invocation service does not pass: the member is called through
// its slot directly.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace corvane::server {

// The slot view (interface) description of the member a late-bound call
// names, when one of its parameters is a record; null otherwise. Release with
// the slot view's ReleaseFuncDesc.
FUNCDESC* RecordMember(ITypeInfo* slots, DISPID member, WORD flags);

// Calls that member on self with the caller's arguments (records as
// VT_RECORD, by value or by reference; numbers converted) and returns its
// result as a variant; a failure with its error record in *exception.
HRESULT InvokeWithRecords(ITypeInfo* slots, const FUNCDESC& desc, void* self, const DISPPARAMS& params,
                          VARIANT* result, EXCEPINFO* exception, UINT* argError);

}  // namespace corvane::server
