#include "client_support.h"

#include <cstdlib>

namespace corvane::server::test {

namespace {
// COM for the whole test program, on its one thread.
struct ComEnvironment : ::testing::Environment {
    void SetUp() override { ASSERT_EQ(S_OK, CoInitialize(nullptr)); }
    void TearDown() override { CoUninitialize(); }
};
const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);
}  // namespace

const Entries& Dll() {
    static const Entries entries = [] {
        const char* path = std::getenv("CORVANE_SERVER_DLL");
        HMODULE m = path != nullptr ? LoadLibraryA(path) : nullptr;
        if (m == nullptr) ADD_FAILURE() << "cannot load CORVANE_SERVER_DLL";
        auto entry = [m](const char* name) { return m != nullptr ? GetProcAddress(m, name) : nullptr; };
        return Entries{m, reinterpret_cast<decltype(Entries::canUnloadNow)>(entry("DllCanUnloadNow")),
                       reinterpret_cast<decltype(Entries::getClassObject)>(entry("DllGetClassObject"))};
    }();
    return entries;
}

Ptr<IClassFactory> ClassObject(REFCLSID clsid) {
    Ptr<IClassFactory> f;
    EXPECT_EQ(S_OK, Dll().getClassObject(clsid, IID_IClassFactory, f.outVoid()));
    return f;
}

std::wstring Take(BSTR s) {
    std::wstring out = s != nullptr ? std::wstring(s, SysStringLen(s)) : std::wstring();
    SysFreeString(s);
    return out;
}

ErrorRecord TakeErrorRecord() {
    ErrorRecord r;
    Ptr<IErrorInfo> info;
    if (GetErrorInfo(0, info.out()) != S_OK || !info) return r;
    BSTR s[3] = {};
    info->GetDescription(&s[0]), info->GetSource(&s[1]), info->GetHelpFile(&s[2]);
    info->GetGUID(&r.guid), info->GetHelpContext(&r.helpContext);
    r = {true, Take(s[0]), Take(s[1]), Take(s[2]), r.guid, r.helpContext};
    return r;
}

void ExpectFailure(HRESULT hr, int message, const wchar_t* text, REFCLSID clsid, const wchar_t* progId) {
    EXPECT_EQ(static_cast<HRESULT>(0x80040000u + static_cast<unsigned>(message)), hr);
    const ErrorRecord r = TakeErrorRecord();
    ASSERT_TRUE(r.present);
    EXPECT_EQ(text, r.description);
    EXPECT_EQ(progId, r.source);
    EXPECT_EQ(L"CorvaneMatrix.chm", r.helpFile);
    EXPECT_EQ(static_cast<DWORD>(message), r.helpContext);
    EXPECT_TRUE(IsEqualGUID(clsid, r.guid));
}

VARIANT Of(VARTYPE type, double x) {
    VARIANT d = Var(VT_R8, nullptr), v = Var(VT_EMPTY, nullptr);
    return V_R8(&d) = x, VariantChangeType(&v, &d, 0, type), v;
}

DISPID Id(IDispatch* d, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(S_OK, d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    return id;
}

HRESULT Call(IDispatch* d, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result, std::vector<DISPID> names) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    std::vector<DISPID> named(names.rbegin(), names.rend());
    DISPPARAMS params{reversed.data(), named.data(), static_cast<UINT>(args.size()), static_cast<UINT>(names.size())};
    return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

Ptr<IRecordInfo> ComplexRecord() {
    const GUID complex = {0x11cee6d5, 0xe60d, 0x4fe8, {0xbd, 0xd5, 0x5d, 0x98, 0x7b, 0x59, 0xf0, 0x61}};
    Ptr<IRecordInfo> record;
    EXPECT_EQ(S_OK, GetRecordInfoFromGuids(LIBID_CorvaneMatrix30, 1, 0, 1033, complex, record.out()));
    return record;
}

Ptr<ITypeLib> Library() {
    Ptr<ITypeLib> lib;
    EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_CorvaneMatrix30, 1, 0, 1033, lib.out()));
    return lib;
}

}  // namespace corvane::server::test
