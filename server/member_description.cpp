#include "server/member_description.h"

namespace corvane::server {
namespace {

// The kind, identifier and size of a user-defined type; the type information
// itself (one reference) when `keep` is given.
bool UserType(ITypeInfo* slots, HREFTYPE ref, TYPEKIND* kind, GUID* guid, ULONG* size, ITypeInfo** keep = nullptr) {
    ITypeInfo* info = nullptr;
    if (FAILED(slots->GetRefTypeInfo(ref, &info))) return false;
    TYPEATTR* attr = nullptr;
    const bool ok = SUCCEEDED(info->GetTypeAttr(&attr));
    if (ok) {
        *kind = attr->typekind;
        *guid = attr->guid;
        *size = attr->cbSizeInstance;
        info->ReleaseTypeAttr(attr);
    }
    if (ok && keep != nullptr)
        *keep = info;
    else
        info->Release();
    return ok;
}

bool IsInterface(TYPEKIND kind) { return kind == TKIND_INTERFACE || kind == TKIND_DISPATCH; }

// A record must fit the dispatcher's result buffer.
constexpr ULONG kMaxRecordSize = 16;

}  // namespace

MemberDescription::~MemberDescription() {
    for (ParamDescription& p : params_) VariantClear(&p.fallback);
    if (resultRecord_ != nullptr) resultRecord_->Release();
}

HRESULT MemberDescription::Describe(ITypeInfo* slots, const FUNCDESC& desc) {
    if (desc.cParams > kMaxParams) return DISP_E_BADVARTYPE;
    invoke_ = desc.invkind;
    slot_ = desc.oVft;
    for (SHORT p = 0; p < desc.cParams; ++p) {
        const PARAMDESC& pd = desc.lprgelemdescParam[p].paramdesc;
        const TYPEDESC& type = desc.lprgelemdescParam[p].tdesc;
        const TYPEDESC* target = type.vt == VT_PTR ? type.lptdesc : nullptr;
        TYPEKIND kind = TKIND_MAX;
        GUID guid{};
        ULONG size = 0;
        if (pd.wParamFlags & PARAMFLAG_FRETVAL) {  // the result: always the last parameter
            if (p != desc.cParams - 1 || target == nullptr) return DISP_E_BADVARTYPE;
            switch (target->vt) {
            case VT_I4: result_ = ResultKind::Long; break;
            case VT_R8: result_ = ResultKind::Double; break;
            case VT_BOOL: result_ = ResultKind::Bool; break;
            case VT_BSTR: result_ = ResultKind::String; break;
            case VT_SAFEARRAY: result_ = ResultKind::Array; break;
            case VT_PTR:
                if (target->lptdesc->vt != VT_USERDEFINED ||
                    !UserType(slots, target->lptdesc->hreftype, &kind, &guid, &size) || !IsInterface(kind))
                    return DISP_E_BADVARTYPE;
                result_ = ResultKind::Object;
                break;
            case VT_USERDEFINED:
                if (!UserType(slots, target->hreftype, &kind, &guid, &size, &resultRecord_)) return DISP_E_BADVARTYPE;
                if (kind != TKIND_RECORD || size > kMaxRecordSize) return DISP_E_BADVARTYPE;
                result_ = ResultKind::Record;
                break;
            default: return DISP_E_BADVARTYPE;
            }
            break;
        }
        ParamDescription& out = params_[count_++];
        out.out = (pd.wParamFlags & PARAMFLAG_FOUT) != 0;
        out.optional = (pd.wParamFlags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0;
        if ((pd.wParamFlags & PARAMFLAG_FHASDEFAULT) && pd.pparamdescex != nullptr)
            if (FAILED(VariantCopy(&out.fallback, &pd.pparamdescex->varDefaultValue))) return E_OUTOFMEMORY;
        if (target == nullptr) {
            switch (type.vt) {
            case VT_I4:
            case VT_INT: out.kind = ParamKind::Long; break;
            case VT_I2: out.kind = ParamKind::Short; break;
            case VT_R8: out.kind = ParamKind::Double; break;
            case VT_BSTR: out.kind = ParamKind::String; break;
            case VT_USERDEFINED:  // an enumeration passes as a long
                if (!UserType(slots, type.hreftype, &kind, &guid, &size) || kind != TKIND_ENUM)
                    return DISP_E_BADVARTYPE;
                out.kind = ParamKind::Long;
                break;
            default: return DISP_E_BADVARTYPE;
            }
            continue;
        }
        switch (target->vt) {
        case VT_I4: out.kind = ParamKind::LongOut; break;
        case VT_R8: out.kind = ParamKind::DoubleOut; break;
        case VT_VARIANT: out.kind = ParamKind::Variant; break;
        case VT_SAFEARRAY:
            out.kind = ParamKind::Array;
            if (target->lptdesc != nullptr) out.element = target->lptdesc->vt;
            break;
        case VT_PTR:
            if (target->lptdesc->vt != VT_USERDEFINED ||
                !UserType(slots, target->lptdesc->hreftype, &kind, &out.type, &size) || !IsInterface(kind))
                return DISP_E_BADVARTYPE;
            out.kind = ParamKind::Object;
            break;
        case VT_USERDEFINED:
            if (!UserType(slots, target->hreftype, &kind, &out.type, &out.size) || kind != TKIND_RECORD)
                return DISP_E_BADVARTYPE;
            out.kind = ParamKind::Record;
            break;
        default: return DISP_E_BADVARTYPE;
        }
    }
    return S_OK;
}

}  // namespace corvane::server
