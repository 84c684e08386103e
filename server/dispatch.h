// IDispatch served from the registered type library, for every interface and
// class of the server.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace corvane::server {

// Type information of an interface or class of the library, loaded once from
// the registered type library (under the module lock) and kept for the life of
// the module; while the library is not registered every call tries again.
// Hands out one reference.
HRESULT GetTypeInfoOf(REFGUID guid, LCID lcid, ITypeInfo** out);

// The four IDispatch members for an object whose dual interface is iid;
// self is that interface of the object. Invoke finds the member in the
// interface's member table (member_table.h), binds every argument before anything runs
// (MemberCall) and calls the slot. A member's failure comes back in EXCEPINFO
// (DISP_E_EXCEPTION) when one is given, else bare with the member's record;
// a failure of the dispatcher itself withdraws the thread's record and every
// failure leaves *result empty.
HRESULT DispatchGetTypeInfoCount(UINT* count);
HRESULT DispatchGetTypeInfo(REFIID iid, LCID lcid, ITypeInfo** out);
HRESULT DispatchGetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
HRESULT DispatchInvoke(REFIID iid, IDispatch* self, DISPID member, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* exception, UINT* argError, LCID lcid);

}  // namespace corvane::server
