// The registered type library read back through ITypeLib and ITypeInfo and
// compared with the published tables, row by row.
#include <cmath>
#include <string>

#include "client_support.h"
#include "type_library_table.h"

namespace corvane::server::test {
namespace {

Ptr<ITypeLib> Library() {
    Ptr<ITypeLib> lib;
    EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_CorvaneMatrix30, 1, 0, 1033, lib.out()));
    return lib;
}

std::wstring DocString(ITypeLib* lib, INT index, DWORD* context = nullptr, std::wstring* name = nullptr,
                       std::wstring* helpFile = nullptr) {
    BSTR n = nullptr, doc = nullptr, file = nullptr;
    DWORD ctx = 0;
    EXPECT_EQ(S_OK, lib->GetDocumentation(index, &n, &doc, &ctx, &file));
    if (context != nullptr) *context = ctx;
    std::wstring nameText = Take(n), fileText = Take(file);
    if (name != nullptr) *name = nameText;
    if (helpFile != nullptr) *helpFile = fileText;
    return Take(doc);
}

TEST(TypeLibrary, Attributes) {
    Ptr<ITypeLib> lib = Library();
    ASSERT_TRUE(lib);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
    EXPECT_EQ(1, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(1033u, attr->lcid);
    EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attr->syskind);
    // No declared flags; the loader itself reports that the library has a disk image.
    EXPECT_EQ(0, attr->wLibFlags & ~LIBFLAG_FHASDISKIMAGE);
    lib->ReleaseTLibAttr(attr);
    std::wstring name, file;
    EXPECT_EQ(L"Corvane Tessaral 3.0", DocString(lib.get(), -1, nullptr, &name, &file));
    EXPECT_EQ(L"CorvaneMatrix30", name);
    EXPECT_EQ(L"CorvaneMatrix.chm", file);
}

TEST(TypeLibrary, TypesInOrderWithFlagsAndHelp) {
    Ptr<ITypeLib> lib = Library();
    ASSERT_TRUE(lib);
    const struct {
        const wchar_t* name;
        TYPEKIND kind;
        WORD flags;
        const wchar_t* help;
        DWORD context;
    } expected[] = {
        {L"CMatrix", TKIND_COCLASS, TYPEFLAG_FCANCREATE,
         L"CMatrix Class. Represents matrices with complex number elements.", 1201},
        {L"ICMatrix", TKIND_DISPATCH, TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE,
         L"ICMatrix Interface", 1201},
        {L"Complex", TKIND_RECORD, 0, L"", 0},
        {L"SortOrderEnum", TKIND_ENUM, 0, L"Constants used by SortCols and SortRows methods", 0},
        {L"Matrix", TKIND_COCLASS, TYPEFLAG_FCANCREATE, L"Matrix Class. Represents matrices with real number elements.",
         1200},
        {L"IMatrix", TKIND_DISPATCH, TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE,
         L"IMatrix Interface", 1200},
        {L"Global", TKIND_COCLASS,
         TYPEFLAG_FCANCREATE | TYPEFLAG_FAPPOBJECT | TYPEFLAG_FPREDECLID | TYPEFLAG_FHIDDEN,
         L"Contains functions for complex numbers operations and Matrix, CMatrix class factories.", 1202},
        {L"IGlobal", TKIND_DISPATCH,
         TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FHIDDEN, L"IGlobal Interface",
         1202},
    };
    ASSERT_EQ(8u, lib->GetTypeInfoCount());
    for (UINT i = 0; i < 8; ++i) {
        SCOPED_TRACE(expected[i].name);
        std::wstring name;
        DWORD context = 99;
        EXPECT_EQ(expected[i].help, DocString(lib.get(), static_cast<INT>(i), &context, &name));
        EXPECT_EQ(expected[i].name, name);
        EXPECT_EQ(expected[i].context, context);
        Ptr<ITypeInfo> info;
        ASSERT_EQ(S_OK, lib->GetTypeInfo(i, info.out()));
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
        EXPECT_EQ(expected[i].kind, attr->typekind);
        if (attr->typekind == TKIND_DISPATCH) {
            // The library's own flags are those of the interface view of the
            // dual interface; its dispatch view is marked dual as well.
            EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
            HREFTYPE ref = 0;
            Ptr<ITypeInfo> slots;
            ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(-1, &ref));
            ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, slots.out()));
            TYPEATTR* slotAttr = nullptr;
            ASSERT_EQ(S_OK, slots->GetTypeAttr(&slotAttr));
            EXPECT_EQ(expected[i].flags, slotAttr->wTypeFlags);
            EXPECT_EQ(TKIND_INTERFACE, slotAttr->typekind);
            slots->ReleaseTypeAttr(slotAttr);
        } else {
            EXPECT_EQ(expected[i].flags, attr->wTypeFlags);
        }
        if (attr->typekind == TKIND_COCLASS) {
            EXPECT_EQ(1, attr->wMajorVerNum);
            EXPECT_EQ(0, attr->wMinorVerNum);
            EXPECT_EQ(1, attr->cImplTypes);
            INT implFlags = 0;
            EXPECT_EQ(S_OK, info->GetImplTypeFlags(0, &implFlags));
            EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, implFlags);
            HREFTYPE ref = 0;
            Ptr<ITypeInfo> iface;
            ASSERT_EQ(S_OK, info->GetRefTypeOfImplType(0, &ref));
            ASSERT_EQ(S_OK, info->GetRefTypeInfo(ref, iface.out()));
            BSTR ifaceName = nullptr;
            ASSERT_EQ(S_OK, iface->GetDocumentation(MEMBERID_NIL, &ifaceName, nullptr, nullptr, nullptr));
            EXPECT_EQ(L"I" + name, Take(ifaceName));
        }
        if (attr->typekind == TKIND_RECORD) {
            EXPECT_EQ(16u, attr->cbSizeInstance);
            ASSERT_EQ(2, attr->cVars);
            for (UINT v = 0; v < 2; ++v) {
                VARDESC* var = nullptr;
                ASSERT_EQ(S_OK, info->GetVarDesc(v, &var));
                EXPECT_EQ(VT_R8, var->elemdescVar.tdesc.vt);
                EXPECT_EQ(8 * v, var->oInst);
                BSTR field = nullptr;
                UINT got = 0;
                ASSERT_EQ(S_OK, info->GetNames(var->memid, &field, 1, &got));
                EXPECT_EQ(v == 0 ? L"Real" : L"Imag", Take(field));
                info->ReleaseVarDesc(var);
            }
        }
        if (attr->typekind == TKIND_ENUM) {
            EXPECT_EQ(4u, attr->cbSizeInstance);
            ASSERT_EQ(2, attr->cVars);
            for (UINT v = 0; v < 2; ++v) {
                VARDESC* var = nullptr;
                ASSERT_EQ(S_OK, info->GetVarDesc(v, &var));
                EXPECT_EQ(static_cast<LONG>(v), V_I4(var->lpvarValue));
                BSTR field = nullptr;
                UINT got = 0;
                ASSERT_EQ(S_OK, info->GetNames(var->memid, &field, 1, &got));
                EXPECT_EQ(v == 0 ? L"msoAscending" : L"msoDescending", Take(field));
                info->ReleaseVarDesc(var);
            }
        }
        info->ReleaseTypeAttr(attr);
    }
}

void ExpectDefault(const Default& want, const ELEMDESC& param) {
    const bool has = (param.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) != 0;
    ASSERT_EQ(want.kind != Default::kNoDefault, has);
    if (!has) return;
    const VARIANT& v = param.paramdesc.pparamdescex->varDefaultValue;
    switch (want.kind) {
        case Default::kDouble:
            ASSERT_EQ(VT_R8, V_VT(&v));
            EXPECT_EQ(want.value, V_R8(&v));
            break;
        case Default::kInteger: {
            VARIANT i;
            VariantInit(&i);
            ASSERT_EQ(S_OK, VariantChangeType(&i, const_cast<VARIANT*>(&v), 0, VT_I4));
            EXPECT_EQ(want.value, V_I4(&i));
            break;
        }
        case Default::kString:
            ASSERT_EQ(VT_BSTR, V_VT(&v));
            EXPECT_EQ(0u, SysStringLen(V_BSTR(&v)));
            break;
        case Default::kObject:  // no object
            EXPECT_EQ(VT_DISPATCH, V_VT(&v));
            EXPECT_EQ(nullptr, V_DISPATCH(&v));
            break;
        default:
            break;
    }
}

void ExpectMembers(REFIID iid, const Member* members, size_t count) {
    Ptr<ITypeLib> lib = Library();
    ASSERT_TRUE(lib);
    Ptr<ITypeInfo> dispatch, info;
    ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(iid, dispatch.out()));
    // The interface (slot) view of the dual interface.
    HREFTYPE ref = 0;
    ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &ref));
    ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(ref, info.out()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_EQ(count, attr->cFuncs);
    const WORD funcs = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    for (UINT f = 0; f < funcs && f < count; ++f) {
        const Member& want = members[f];
        SCOPED_TRACE(testing::Message() << "slot " << f + 1);
        FUNCDESC* desc = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(f, &desc));
        EXPECT_EQ(want.id, desc->memid);
        EXPECT_EQ(want.kind, desc->invkind);
        EXPECT_EQ(static_cast<SHORT>((7 + f) * sizeof(void*)), desc->oVft);
        EXPECT_EQ(VT_HRESULT, desc->elemdescFunc.tdesc.vt);
        ASSERT_EQ(want.params.size(), static_cast<size_t>(desc->cParams));
        BSTR names[12] = {};
        UINT got = 0;
        ASSERT_EQ(S_OK, info->GetNames(desc->memid, names, 12, &got));
        EXPECT_EQ(std::wstring(want.name), Take(names[0]));
        // Names by member id are those of the first function with the id: for
        // a property put, its get's.
        for (UINT p = 1; p < got; ++p) {
            const std::wstring name = Take(names[p]);
            if (want.kind != INVOKE_PROPERTYPUT && p - 1 < want.params.size())
                EXPECT_EQ(std::wstring(want.params[p - 1].name), name);
        }
        for (SHORT p = 0; p < desc->cParams; ++p) {
            SCOPED_TRACE(want.params[static_cast<size_t>(p)].name);
            EXPECT_EQ(want.params[static_cast<size_t>(p)].flags & ~PARAMFLAG_FHASDEFAULT,
                      desc->lprgelemdescParam[p].paramdesc.wParamFlags & ~PARAMFLAG_FHASDEFAULT);
            ExpectDefault(want.params[static_cast<size_t>(p)].value, desc->lprgelemdescParam[p]);
        }
        BSTR help = nullptr;
        DWORD context = 0;
        ASSERT_EQ(S_OK, info->GetDocumentation(desc->memid, nullptr, &help, &context, nullptr));
        EXPECT_EQ(std::wstring(want.helpString), Take(help));
        EXPECT_EQ(want.helpContext, context);
        info->ReleaseFuncDesc(desc);
    }
}

TEST(TypeLibrary, IMatrixMembers) { ExpectMembers(IID_IMatrix, kIMatrixMembers, std::size(kIMatrixMembers)); }
TEST(TypeLibrary, ICMatrixMembers) { ExpectMembers(IID_ICMatrix, kICMatrixMembers, std::size(kICMatrixMembers)); }
TEST(TypeLibrary, IGlobalMembers) { ExpectMembers(IID_IGlobal, kIGlobalMembers, std::size(kIGlobalMembers)); }

}  // namespace
}  // namespace corvane::server::test
