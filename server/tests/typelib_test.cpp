// The registered type library as text (types in order with flags and help,
// members with slot, dispatch id, parameters and defaults) against the
// committed typelib.txt named by CORVANE_TYPELIB_DUMP; CORVANE_TYPELIB_WRITE
// rewrites that file instead.
#include <fstream>
#include <map>
#include <sstream>

#include "client_support.h"

namespace corvane::server::test {
namespace {

std::string Narrow(BSTR s) { return test::Narrow(Take(s)); }

std::string Flags(unsigned flags, std::initializer_list<std::pair<unsigned, const char*>> names) {
    std::string s;
    for (const auto& [bit, name] : names)
        if (flags & bit) s += std::string(s.empty() ? "" : ",") + name, flags &= ~bit;
    return flags != 0 ? s + "+" + std::to_string(flags) : s.empty() ? "-" : s;
}
std::string TypeFlags(WORD f) {
    // clang-format off
    return Flags(f, {{TYPEFLAG_FAPPOBJECT, "appobject"}, {TYPEFLAG_FCANCREATE, "creatable"}, {TYPEFLAG_FHIDDEN, "hidden"},
                     {TYPEFLAG_FDUAL, "dual"}, {TYPEFLAG_FOLEAUTOMATION, "oleautomation"},
                     {TYPEFLAG_FDISPATCHABLE, "dispatchable"}, {TYPEFLAG_FPREDECLID, "predeclid"}});
    // clang-format on
}

// Name, help string and context of a type (MEMBERID_NIL) or member.
std::string Named(ITypeInfo* info, MEMBERID id, bool help = true) {
    BSTR name = nullptr, doc = nullptr;
    DWORD context = 0;
    info->GetDocumentation(id, &name, &doc, &context, nullptr);
    return Narrow(name) + (help ? " help \"" + Narrow(doc) + "\" " + std::to_string(context) : (Take(doc), ""));
}

std::string Type(ITypeInfo* info, const TYPEDESC& t) {
    Ptr<ITypeInfo> ref;
    const std::map<VARTYPE, const char*> names{{VT_I2, "short"},  {VT_I4, "long"},           {VT_INT, "int"},         {VT_R8, "double"},
                                               {VT_BSTR, "BSTR"}, {VT_BOOL, "VARIANT_BOOL"}, {VT_VARIANT, "VARIANT"}, {VT_HRESULT, "HRESULT"}};
    if (t.vt == VT_PTR) return Type(info, *t.lptdesc) + "*";
    if (t.vt == VT_SAFEARRAY) return "SAFEARRAY(" + Type(info, *t.lptdesc) + ")";
    if (t.vt == VT_USERDEFINED) return SUCCEEDED(info->GetRefTypeInfo(t.hreftype, ref.out())) ? Named(ref.get(), MEMBERID_NIL, false) : "?";
    return names.count(t.vt) ? names.at(t.vt) : "vt" + std::to_string(t.vt);
}

std::string Value(const VARIANT& v) {
    VARIANT text{};
    if (V_VT(&v) == VT_DISPATCH) return V_DISPATCH(&v) != nullptr ? "an object" : "Nothing";
    if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&v), 0, VT_BSTR))) return "vt" + std::to_string(V_VT(&v));
    return "\"" + Narrow(V_BSTR(&text)) + "\"";
}

void Members(ITypeInfo* info, const TYPEATTR& attr, std::ostream& out) {
    for (UINT f = 0; f < attr.cFuncs; ++f) {
        FUNCDESC* d = nullptr;
        BSTR names[12] = {};
        UINT count = 0;
        if (FAILED(info->GetFuncDesc(f, &d)) || FAILED(info->GetNames(d->memid, names, 12, &count))) continue;
        out << "  [" << d->oVft / static_cast<int>(sizeof(void*)) << "] "
            << Flags(d->invkind, {{INVOKE_FUNC, "method"}, {INVOKE_PROPERTYGET, "propget"}, {INVOKE_PROPERTYPUT, "propput"}}) << " "
            << Named(info, d->memid) << " id " << d->memid << " kind " << d->funckind << " call " << d->callconv << " flags " << d->wFuncFlags
            << " returns " << Type(info, d->elemdescFunc.tdesc) << "\n";
        for (SHORT p = 0; p < d->cParams; ++p) {
            const PARAMDESC& pd = d->lprgelemdescParam[p].paramdesc;
            const bool value = d->invkind == INVOKE_PROPERTYPUT && p + 1 == d->cParams;  // names are the get's
            // clang-format off
            out << "      " << Flags(pd.wParamFlags, {{PARAMFLAG_FIN, "in"}, {PARAMFLAG_FOUT, "out"}, {PARAMFLAG_FRETVAL, "retval"},
                                                      {PARAMFLAG_FOPT, "optional"}, {PARAMFLAG_FHASDEFAULT, "default"}})
                << " " << Type(info, d->lprgelemdescParam[p].tdesc) << " "
                << (!value && p + 1u < count ? Narrow(SysAllocString(names[p + 1])) : "value")
                << (pd.wParamFlags & PARAMFLAG_FHASDEFAULT ? " = " + Value(pd.pparamdescex->varDefaultValue) : "") << "\n";
            // clang-format on
        }
        for (UINT k = 0; k < count; ++k) SysFreeString(names[k]);
        info->ReleaseFuncDesc(d);
    }
    for (UINT v = 0; v < attr.cVars; ++v) {
        VARDESC* d = nullptr;
        if (FAILED(info->GetVarDesc(v, &d))) continue;
        out << "  " << Type(info, d->elemdescVar.tdesc) << " " << Named(info, d->memid, false)
            << (d->varkind == VAR_CONST ? " = " + Value(*d->lpvarValue) : " at " + std::to_string(d->oInst)) << "\n";
        info->ReleaseVarDesc(d);
    }
}

std::string Dump() {
    std::ostringstream out;
    Ptr<ITypeLib> lib = Library();
    TLIBATTR* la = nullptr;
    if (!lib || FAILED(lib->GetLibAttr(&la))) return "no type library";
    BSTR name = nullptr, doc = nullptr, file = nullptr;
    DWORD context = 0;
    lib->GetDocumentation(-1, &name, &doc, &context, &file);
    out << "library " << Narrow(name) << " " << la->wMajorVerNum << "." << la->wMinorVerNum << " lcid " << la->lcid << " for "
        << (la->syskind == (sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32) ? "this build" : "another target") << " flags "
        << (la->wLibFlags & ~LIBFLAG_FHASDISKIMAGE) << " help \"" << Narrow(doc) << "\" " << context << " " << Narrow(file) << "\n";
    lib->ReleaseTLibAttr(la);
    for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
        Ptr<ITypeInfo> info, slots;
        TYPEATTR *a = nullptr, *sa = nullptr;
        HREFTYPE ref = 0;
        if (FAILED(lib->GetTypeInfo(i, info.out())) || FAILED(info->GetTypeAttr(&a))) continue;
        const char* const kinds[] = {"enum", "record", "module", "interface", "dispatch", "coclass", "alias", "union"};
        out << kinds[a->typekind] << " " << Named(info.get(), MEMBERID_NIL) << " version " << a->wMajorVerNum << "." << a->wMinorVerNum
            << (a->typekind <= TKIND_RECORD ? " size " + std::to_string(a->cbSizeInstance) : "") << " flags " << TypeFlags(a->wTypeFlags) << "\n";
        for (UINT k = 0; k < a->cImplTypes; ++k) {
            INT flags = 0;
            Ptr<ITypeInfo> base;
            if (SUCCEEDED(info->GetImplTypeFlags(k, &flags)) && SUCCEEDED(info->GetRefTypeOfImplType(k, &ref)) &&
                SUCCEEDED(info->GetRefTypeInfo(ref, base.out())))
                out << "  implements " << Named(base.get(), MEMBERID_NIL, false) << (flags == IMPLTYPEFLAG_FDEFAULT ? " default" : "") << "\n";
        }
        if (a->typekind == TKIND_DISPATCH && SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) && SUCCEEDED(info->GetRefTypeInfo(ref, slots.out())) &&
            SUCCEEDED(slots->GetTypeAttr(&sa))) {
            out << "  dispatch view of " << a->cFuncs << " members; interface view flags " << TypeFlags(sa->wTypeFlags) << "\n";
            Members(slots.get(), *sa, out);
            slots->ReleaseTypeAttr(sa);
        } else {
            Members(info.get(), *a, out);
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
