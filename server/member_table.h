// The members of each dual interface as late-bound calls find them: read once
// from the interface's slot description, on the first call that needs them,
// and kept for the life of the module, so that a call finds its member and
// argument plan without walking the type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "server/member_description.h"

namespace corvane::server {

// The member of interface iid that a late-bound call with this id and these
// DISPATCH_* flags names: DISP_E_MEMBERNOTFOUND when there is none,
// DISP_E_BADVARTYPE for one with a parameter the dispatcher cannot pass, or
// the failure of loading the type information (tried again by the next call).
HRESULT FindMember(REFIID iid, LCID lcid, DISPID member, WORD flags, const MemberDescription** out);

}  // namespace corvane::server
