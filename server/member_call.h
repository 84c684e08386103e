// One late-bound call of a member: the caller's arguments matched to the
// member's parameters (by position and by name), each checked and converted to
// exactly what the slot takes before anything is called, then the member
// called through its slot and its result handed back as a variant.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "server/member_description.h"

namespace corvane::server {

class MemberCall {
public:
    explicit MemberCall(const MemberDescription& member) : member_(member) {}
    ~MemberCall();
    MemberCall(const MemberCall&) = delete;
    MemberCall& operator=(const MemberCall&) = delete;

    // Matches, checks and converts every argument; nothing is called or
    // changed. A failure names the offending argument's index in *argError.
    HRESULT Bind(const DISPPARAMS& params, UINT* argError);
    // Calls the member on self; its own result code. Reached() tells whether
    // the member ran (its failure then carries its own error record).
    HRESULT Call(void* self);
    bool Reached() const { return reached_; }
    // After a successful call: scalar outputs back into the caller's variants
    // and the result into *result (freed when result is null).
    HRESULT Finish(VARIANT* result);

private:
    // What one parameter receives and what the call holds for it.
    struct Slot {
        VARTYPE type = VT_EMPTY;  // how DispCallFunc passes `value`
        VARIANT value{};          // a number, a string or a pointer (never cleared)
        VARIANT owned{};          // a converted value, a script array copied, or a variant of ours (cleared)
        VARIANT view{};           // the caller's variant, read only (never cleared)
        IUnknown* object = nullptr;
        SAFEARRAY* array = nullptr;    // an array given by value, passed by reference
        VARIANT* writeBack = nullptr;  // the caller's variant that receives `owned`
    };
    HRESULT BindOne(const ParamDescription& param, const VARIANT* arg, Slot& slot);
    HRESULT TakeResult(VARIANT* result);

    const MemberDescription& member_;
    Slot slots_[kMaxParams];
    bool reached_ = false;
    struct {
        LONG number = 0;
        double real = 0.0;
        VARIANT_BOOL flag = VARIANT_FALSE;
        BSTR text = nullptr;
        SAFEARRAY* array = nullptr;
        IUnknown* object = nullptr;
        alignas(8) unsigned char record[16] = {};
    } result_;
};

}  // namespace corvane::server
