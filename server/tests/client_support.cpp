#include "client_support.h"

#include <cstdlib>

namespace corvane::server::test {

namespace {
// COM for the whole test program, on its one thread.
class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(S_OK, CoInitialize(nullptr)); }
    void TearDown() override { CoUninitialize(); }
};
const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

template <class F>
void Bind(HMODULE module, F*& f, const char* name) {
    f = reinterpret_cast<F*>(GetProcAddress(module, name));
}
}  // namespace

const Entries& Dll() {
    static const Entries entries = [] {
        Entries e{};
        const char* path = std::getenv("CORVANE_SERVER_DLL");
        e.module = path != nullptr ? LoadLibraryA(path) : nullptr;
        if (e.module == nullptr) {
            ADD_FAILURE() << "cannot load CORVANE_SERVER_DLL";
            return e;
        }
        Bind(e.module, e.canUnloadNow, "DllCanUnloadNow");
        Bind(e.module, e.getClassObject, "DllGetClassObject");
        Bind(e.module, e.registerServer, "DllRegisterServer");
        Bind(e.module, e.unregisterServer, "DllUnregisterServer");
        return e;
    }();
    return entries;
}

std::wstring Take(BSTR s) {
    std::wstring out = s != nullptr ? std::wstring(s, SysStringLen(s)) : std::wstring();
    SysFreeString(s);
    return out;
}

ErrorRecord TakeErrorRecord() {
    ErrorRecord r;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return r;
    r.present = true;
    BSTR s = nullptr;
    if (SUCCEEDED(info->GetDescription(&s))) r.description = Take(s);
    if (SUCCEEDED(info->GetSource(&(s = nullptr)))) r.source = Take(s);
    if (SUCCEEDED(info->GetHelpFile(&(s = nullptr)))) r.helpFile = Take(s);
    info->GetGUID(&r.guid);
    info->GetHelpContext(&r.helpContext);
    info->Release();
    return r;
}

void ExpectFailure(HRESULT hr, int message, const wchar_t* text, REFCLSID clsid, const wchar_t* progId) {
    EXPECT_EQ(static_cast<HRESULT>(0x80040000u + static_cast<unsigned>(message)), hr);
    const ErrorRecord r = TakeErrorRecord();
    ASSERT_TRUE(r.present);
    EXPECT_EQ(std::wstring(text), r.description);
    EXPECT_EQ(std::wstring(progId), r.source);
    EXPECT_EQ(std::wstring(L"CorvaneMatrix.chm"), r.helpFile);
    EXPECT_EQ(static_cast<DWORD>(message), r.helpContext);
    EXPECT_TRUE(IsEqualGUID(clsid, r.guid));
}

Ptr<ITypeLib> Library() {
    Ptr<ITypeLib> lib;
    EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_CorvaneMatrix30, 1, 0, 1033, lib.out()));
    return lib;
}

}  // namespace corvane::server::test
