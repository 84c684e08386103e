// The registered type library as text (types in order, their flags, help,
// members with slot, dispatch id, parameters, defaults) compared with the
// committed typelib.txt, whose path CORVANE_TYPELIB_DUMP gives (rewritten
// instead when CORVANE_TYPELIB_WRITE is set).
#include <cstdio>
#include <fstream>
#include <sstream>

#include "client_support.h"

namespace corvane::server::test {
namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::string Flags(unsigned flags, std::initializer_list<std::pair<unsigned, const char*>> names) {
    std::string s;
    for (const auto& [bit, name] : names)
        if (flags & bit) {
            s += std::string(s.empty() ? "" : ",") + name;
            flags &= ~bit;
        }
    if (flags != 0) s += (s.empty() ? "0x" : ",0x") + std::to_string(flags);
    return s.empty() ? "-" : s;
}

std::string Help(ITypeInfo* info, MEMBERID id, std::string* name = nullptr) {
    BSTR n = nullptr, doc = nullptr;
    DWORD context = 0;
    info->GetDocumentation(id, &n, &doc, &context, nullptr);
    if (name != nullptr) *name = Narrow(Take(n)); else Take(n);
    return "\"" + Narrow(Take(doc)) + "\" " + std::to_string(context);
}

std::string Type(ITypeInfo* info, const TYPEDESC& t) {
    switch (t.vt) {
        case VT_PTR: return Type(info, *t.lptdesc) + "*";
        case VT_SAFEARRAY: return "SAFEARRAY(" + Type(info, *t.lptdesc) + ")";
        case VT_USERDEFINED: {
            Ptr<ITypeInfo> ref;
            std::string name = "?";
            if (SUCCEEDED(info->GetRefTypeInfo(t.hreftype, ref.out()))) Help(ref.get(), MEMBERID_NIL, &name);
            return name;
        }
        case VT_I2: return "short";
        case VT_I4: return "long";
        case VT_INT: return "int";
        case VT_R8: return "double";
        case VT_BSTR: return "BSTR";
        case VT_BOOL: return "VARIANT_BOOL";
        case VT_VARIANT: return "VARIANT";
        case VT_HRESULT: return "HRESULT";
        default: return "vt" + std::to_string(t.vt);
    }
}

std::string Value(const VARIANT& v) {
    char text[40];
    switch (V_VT(&v)) {
        case VT_R8: std::snprintf(text, sizeof text, "%.17g", V_R8(&v)); return text;
        case VT_I2: return std::to_string(V_I2(&v)) + "s";
        case VT_I4: return std::to_string(V_I4(&v));
        case VT_BSTR: return "\"" + Narrow(std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v)))) + "\"";
        case VT_DISPATCH: return V_DISPATCH(&v) == nullptr ? "Nothing" : "object";
        default: return "vt" + std::to_string(V_VT(&v));
    }
}

std::string TypeFlags(WORD f) {
    return Flags(f, {{TYPEFLAG_FAPPOBJECT, "appobject"}, {TYPEFLAG_FCANCREATE, "creatable"}, {TYPEFLAG_FHIDDEN, "hidden"},
                     {TYPEFLAG_FDUAL, "dual"}, {TYPEFLAG_FOLEAUTOMATION, "oleautomation"}, {TYPEFLAG_FDISPATCHABLE, "dispatchable"},
                     {TYPEFLAG_FPREDECLID, "predeclid"}, {TYPEFLAG_FNONEXTENSIBLE, "nonextensible"}});
}

void DumpMembers(ITypeInfo* info, const TYPEATTR& attr, std::ostream& out) {
    for (UINT f = 0; f < attr.cFuncs; ++f) {
        FUNCDESC* d = nullptr;
        if (FAILED(info->GetFuncDesc(f, &d))) continue;
        BSTR names[12] = {};
        UINT count = 0;
        info->GetNames(d->memid, names, 12, &count);
        std::string name;
        const std::string help = Help(info, d->memid, &name);
        out << "  [" << d->oVft / static_cast<int>(sizeof(void*)) << "] "
            << Flags(d->invkind, {{INVOKE_FUNC, "method"}, {INVOKE_PROPERTYGET, "propget"}, {INVOKE_PROPERTYPUT, "propput"}})
            << " " << name << " id " << d->memid << " kind " << d->funckind << " call " << d->callconv
            << " flags " << d->wFuncFlags << " returns " << Type(info, d->elemdescFunc.tdesc) << " help " << help << "\n";
        for (SHORT p = 0; p < d->cParams; ++p) {
            const PARAMDESC& pd = d->lprgelemdescParam[p].paramdesc;
            out << "      " << Flags(pd.wParamFlags, {{PARAMFLAG_FIN, "in"}, {PARAMFLAG_FOUT, "out"}, {PARAMFLAG_FRETVAL, "retval"},
                                                      {PARAMFLAG_FOPT, "optional"}, {PARAMFLAG_FHASDEFAULT, "default"}})
                << " " << Type(info, d->lprgelemdescParam[p].tdesc) << " "
                << ((d->invkind != INVOKE_PROPERTYPUT || p + 1 < d->cParams) && p + 1u < count ? Narrow(names[p + 1]) : "value");
            if (pd.wParamFlags & PARAMFLAG_FHASDEFAULT) out << " = " << Value(pd.pparamdescex->varDefaultValue);
            out << "\n";
        }
        for (UINT k = 0; k < count; ++k) SysFreeString(names[k]);
        info->ReleaseFuncDesc(d);
    }
    for (UINT v = 0; v < attr.cVars; ++v) {
        VARDESC* d = nullptr;
        if (FAILED(info->GetVarDesc(v, &d))) continue;
        std::string name;
        Help(info, d->memid, &name);
        out << "  " << Type(info, d->elemdescVar.tdesc) << " " << name;
        out << (d->varkind == VAR_CONST ? " = " + Value(*d->lpvarValue) : " at " + std::to_string(d->oInst)) << "\n";
        info->ReleaseVarDesc(d);
    }
}

std::string Dump() {
    std::ostringstream out;
    Ptr<ITypeLib> lib = Library();
    if (!lib) return "no type library";
    TLIBATTR* la = nullptr;
    lib->GetLibAttr(&la);
    BSTR name = nullptr, doc = nullptr, file = nullptr;
    DWORD context = 0;
    lib->GetDocumentation(-1, &name, &doc, &context, &file);
    out << "library " << Narrow(Take(name)) << " " << la->wMajorVerNum << "." << la->wMinorVerNum << " lcid " << la->lcid
        << " target " << (la->syskind == (sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32) ? "this build's" : "other")
        << " flags " << (la->wLibFlags & ~LIBFLAG_FHASDISKIMAGE) << " help \"" << Narrow(Take(doc)) << "\" " << context
        << " file " << Narrow(Take(file)) << "\n";
    lib->ReleaseTLibAttr(la);
    const char* const kinds[] = {"enum", "record", "module", "interface", "dispatch", "coclass", "alias", "union"};
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        Ptr<ITypeInfo> info;
        TYPEATTR* a = nullptr;
        if (FAILED(lib->GetTypeInfo(i, info.out())) || FAILED(info->GetTypeAttr(&a))) continue;
        std::string typeName;
        const std::string help = Help(info.get(), MEMBERID_NIL, &typeName);
        out << kinds[a->typekind] << " " << typeName << " " << a->wMajorVerNum << "." << a->wMinorVerNum
            << (a->typekind <= TKIND_RECORD ? " size " + std::to_string(a->cbSizeInstance) : "") << " flags " << TypeFlags(a->wTypeFlags) << " help " << help << "\n";
        for (UINT k = 0; k < a->cImplTypes; ++k) {
            HREFTYPE ref = 0;
            INT implFlags = 0;
            Ptr<ITypeInfo> base;
            std::string baseName;
            info->GetImplTypeFlags(k, &implFlags);
            if (SUCCEEDED(info->GetRefTypeOfImplType(k, &ref)) && SUCCEEDED(info->GetRefTypeInfo(ref, base.out())))
                Help(base.get(), MEMBERID_NIL, &baseName);
            out << "  implements " << baseName << " " << Flags(implFlags, {{IMPLTYPEFLAG_FDEFAULT, "default"}}) << "\n";
        }
        Ptr<ITypeInfo> slots;
        HREFTYPE ref = 0;
        TYPEATTR* sa = nullptr;
        if (a->typekind == TKIND_DISPATCH && SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) &&
            SUCCEEDED(info->GetRefTypeInfo(ref, slots.out())) && SUCCEEDED(slots->GetTypeAttr(&sa))) {
            out << "  dispatch view of " << a->cFuncs << " members; interface view flags " << TypeFlags(sa->wTypeFlags) << "\n";
            DumpMembers(slots.get(), *sa, out);
            slots->ReleaseTypeAttr(sa);
        } else {
            DumpMembers(info.get(), *a, out);
        }
        info->ReleaseTypeAttr(a);
    }
    return out.str();
}

TEST(TypeLibrary, MatchesTheCommittedDump) {
    const char* path = std::getenv("CORVANE_TYPELIB_DUMP");
    ASSERT_NE(nullptr, path);
    if (std::getenv("CORVANE_TYPELIB_WRITE") != nullptr) std::ofstream(path, std::ios::binary) << Dump();
    std::ifstream file(path, std::ios::binary);
    std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::erase(expected, '\r');
    EXPECT_EQ(expected, Dump());
}

}  // namespace
}  // namespace corvane::server::test
