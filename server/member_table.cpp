#include "server/member_table.h"

#include <atomic>
#include <new>

#include "CorvaneMatrix30.h"
#include "server/dispatch.h"

namespace corvane::server {
namespace {

struct Member {
    DISPID id = DISPID_UNKNOWN;
    INVOKEKIND invoke = INVOKE_FUNC;
    HRESULT described = E_FAIL;
    MemberDescription description;
};

// Written once under the lock, then only read: `members` is published by
// `ready` and never changes or goes away.
struct Table {
    const IID* iid;
    SRWLOCK lock = SRWLOCK_INIT;
    std::atomic<bool> ready{false};
    Member* members = nullptr;
    WORD count = 0;
};
Table g_tables[] = {{&IID_IMatrix}, {&IID_ICMatrix}, {&IID_IGlobal}};

// Which member invocations a late-bound call's flags ask for: a put only for
// DISPATCH_PROPERTYPUT, a put by reference only for DISPATCH_PROPERTYPUTREF,
// otherwise a method or property get.
bool Wanted(INVOKEKIND invoke, WORD flags) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        return (invoke == INVOKE_PROPERTYPUT && (flags & DISPATCH_PROPERTYPUT)) ||
               (invoke == INVOKE_PROPERTYPUTREF && (flags & DISPATCH_PROPERTYPUTREF));
    return invoke == INVOKE_FUNC || invoke == INVOKE_PROPERTYGET;
}

// Every member of the interface's own (slot) description, the dual interface's other half.
HRESULT Build(Table& table, LCID lcid) {
    ITypeInfo *info = nullptr, *slots = nullptr;
    HRESULT hr = GetTypeInfoOf(*table.iid, lcid, &info);
    if (FAILED(hr)) return hr;
    HREFTYPE ref = 0;
    hr = info->GetRefTypeOfImplType(-1, &ref);
    if (SUCCEEDED(hr)) hr = info->GetRefTypeInfo(ref, &slots);
    info->Release();
    if (FAILED(hr)) return hr;
    TYPEATTR* attr = nullptr;
    hr = slots->GetTypeAttr(&attr);
    const WORD count = SUCCEEDED(hr) ? attr->cFuncs : 0;
    if (SUCCEEDED(hr)) slots->ReleaseTypeAttr(attr);
    Member* members = SUCCEEDED(hr) ? new (std::nothrow) Member[count] : nullptr;
    if (SUCCEEDED(hr) && members == nullptr) hr = E_OUTOFMEMORY;
    for (WORD i = 0; SUCCEEDED(hr) && i < count; ++i) {
        FUNCDESC* desc = nullptr;
        hr = slots->GetFuncDesc(i, &desc);
        if (FAILED(hr)) break;
        members[i].id = desc->memid;
        members[i].invoke = desc->invkind;
        members[i].described = members[i].description.Describe(slots, *desc);
        slots->ReleaseFuncDesc(desc);
        if (members[i].described == E_OUTOFMEMORY) hr = E_OUTOFMEMORY;  // not kept: the next call tries again
    }
    slots->Release();
    if (FAILED(hr)) {
        delete[] members;
        return hr;
    }
    table.members = members;
    table.count = count;
    table.ready.store(true, std::memory_order_release);
    return S_OK;
}

}  // namespace

HRESULT FindMember(REFIID iid, LCID lcid, DISPID member, WORD flags, const MemberDescription** out) {
    *out = nullptr;
    for (Table& table : g_tables) {
        if (!IsEqualIID(iid, *table.iid)) continue;
        if (!table.ready.load(std::memory_order_acquire)) {
            AcquireSRWLockExclusive(&table.lock);
            const HRESULT hr = table.ready.load(std::memory_order_relaxed) ? S_OK : Build(table, lcid);
            ReleaseSRWLockExclusive(&table.lock);
            if (FAILED(hr)) return hr;
        }
        for (WORD i = 0; i < table.count; ++i) {
            const Member& m = table.members[i];
            if (m.id != member || !Wanted(m.invoke, flags)) continue;
            if (FAILED(m.described)) return m.described;
            *out = &m.description;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace corvane::server
